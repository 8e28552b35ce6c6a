#include "imaging/epsreader.h"

#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/pngcodec.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace imaging::detail {

namespace {

constexpr int kTimeoutMilliseconds = 30000;

/// The bounding box in points, from the comments of the header; the exact
/// one when the file has it, as Ghostscript then crops to that.
bool boundingBox(QByteArrayView text, QRectF* box) {
    static const QRegularExpression exact(QStringLiteral(
        R"(%%HiResBoundingBox:\s*(-?[\d.]+)\s+(-?[\d.]+)\s+(-?[\d.]+)\s+(-?[\d.]+))"));
    static const QRegularExpression rounded(
        QStringLiteral(R"(%%BoundingBox:\s*(-?[\d.]+)\s+(-?[\d.]+)\s+(-?[\d.]+)\s+(-?[\d.]+))"));
    const QString header = QString::fromLatin1(text.first(std::min<qint64>(text.size(), 8192)));
    QRegularExpressionMatch match = exact.match(header);
    if (!match.hasMatch()) {
        match = rounded.match(header);
    }
    if (!match.hasMatch()) {
        return false;
    }
    const double x1 = match.captured(1).toDouble(), y1 = match.captured(2).toDouble();
    const double x2 = match.captured(3).toDouble(), y2 = match.captured(4).toDouble();
    *box = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    return box->width() > 0 && box->height() > 0;
}

QString ghostscript() {
    return QStandardPaths::findExecutable(QStringLiteral("gs"));
}

}  // namespace

bool isEps(QByteArrayView head) {
    if (head.size() >= 4 && static_cast<uchar>(head[0]) == 0xC5 &&
        static_cast<uchar>(head[1]) == 0xD0 && static_cast<uchar>(head[2]) == 0xD3 &&
        static_cast<uchar>(head[3]) == 0xC6) {
        return true;  // the DOS binary EPS header
    }
    if (!head.startsWith("%!PS-Adobe-")) {
        return false;
    }
    const qsizetype end = head.indexOf('\n');
    return head.first(end < 0 ? head.size() : end).contains("EPSF");
}

bool ghostscriptAvailable() {
    return !ghostscript().isEmpty();
}

int epsInfo(Input& input, FileInfo* info) {
    QRectF box;
    if (!isEps(input.head(64)) || !boundingBox(input.head(8192), &box)) {
        return kErrorInvalidFormat;
    }
    const FileOptions options = defaultFileOptions();
    info->format = format::kEps;
    info->width =
        std::max(1, static_cast<int>(std::lround(box.width() * options.xResolution / 72.0)));
    info->height =
        std::max(1, static_cast<int>(std::lround(box.height() * options.yResolution / 72.0)));
    info->bitsPerPixel = 24;
    info->pages = 1;
    info->compression = QStringLiteral("None");
    info->sizeDisk = input.size();
    info->sizeMemory = paddedImageBytes(info->width, info->height, 24);
    return kSuccess;
}

int epsLoad(Input& input, const LoadRequest& request, ImageHandle* handle) {
    FileInfo info;
    if (const int status = epsInfo(input, &info); status != kSuccess) {
        return status;
    }
    if (const int check = checkDimensions(info.width, info.height); check != kSuccess) {
        return check;
    }
    const QString gs = ghostscript();
    if (gs.isEmpty()) {
        return kErrorInvalidFormat;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        return kErrorFileWrite;
    }
    QString source = input.path();
    if (source.isEmpty()) {
        source = work.filePath(QStringLiteral("input.eps"));
        QFile file(source);
        const QByteArrayView data = input.all();
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(data.data(), data.size()) != data.size()) {
            return kErrorFileWrite;
        }
    }
    const QString output = work.filePath(QStringLiteral("page.png"));
    const FileOptions options = defaultFileOptions();
    QProcess process;
    process.setProgram(gs);
    process.setArguments(
        {QStringLiteral("-q"), QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
         QStringLiteral("-dNOPAUSE"), QStringLiteral("-dEPSCrop"),
         QStringLiteral("-sDEVICE=png16m"),
         QStringLiteral("-r%1x%2").arg(options.xResolution).arg(options.yResolution),
         QStringLiteral("-sOutputFile=") + output, QStringLiteral("--"), source});
    process.start();
    if (!process.waitForFinished(kTimeoutMilliseconds)) {
        process.kill();
        process.waitForFinished();
        return kErrorFileRead;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return kErrorFileRead;
    }
    Input page = Input::fromFile(output);
    return pngLoad(page, request, handle);
}

}  // namespace imaging::detail
