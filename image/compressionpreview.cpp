#include "image/compressionpreview.h"

#include "imaging/errors.h"
#include "imaging/fileinfo.h"
#include "imaging/imagefile.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace image {

namespace {

/// Makes JPEG saves progressive for its lifetime; the record is shared by
/// every save of this thread, so it is put back however the save ends.
class ProgressiveSaves {
public:
    explicit ProgressiveSaves(bool progressive) : m_saved(imaging::defaultFileOptions()) {
        if (progressive) {
            imaging::FileOptions options = m_saved;
            options.passes = -1;
            imaging::setDefaultFileOptions(options);
        }
    }
    ~ProgressiveSaves() { imaging::setDefaultFileOptions(m_saved); }
    ProgressiveSaves(const ProgressiveSaves&) = delete;
    ProgressiveSaves& operator=(const ProgressiveSaves&) = delete;

private:
    imaging::FileOptions m_saved;
};

}  // namespace

CompressionPreview::CompressionPreview(const imaging::ImageHandle* image)
    : m_hasImage(image != nullptr && image->isAllocated()) {
    bool made = false;
    if (m_hasImage && imaging::copyImage(&m_original, *image) == imaging::kSuccess) {
        const QSize size = previewSize(image->image.size());
        made = imaging::resizeImage(&m_original, size.width(), size.height()) == imaging::kSuccess;
    }
    if (!made) {
        imaging::handleFromQImage(samplePicture(), &m_original);
    }
    imaging::copyImage(&m_compressed, m_original);
}

QSize CompressionPreview::previewSize(QSize size) {
    const int width = size.width();
    const int height = size.height();
    if (width <= kMaxWidth && height <= kMaxHeight) {
        return size;
    }
    const int widthAtFullHeight = int(qint64(width) * kMaxHeight / height);
    if (widthAtFullHeight <= kMaxWidth) {
        return {std::max(widthAtFullHeight, 1), kMaxHeight};
    }
    return {kMaxWidth, std::max(int(qint64(height) * kMaxWidth / width), 1)};
}

CompressionPreview::Placement CompressionPreview::place(int bandWidth, QSize left, QSize right) {
    const int x = (bandWidth - (left.width() + kGap + right.width())) / 2;
    return {QPoint(x, kBandTop + (kMaxHeight - left.height()) / 2),
            QPoint(x + left.width() + kGap, kBandTop + (kMaxHeight - right.height()) / 2)};
}

CompressionPreview::SizeLines CompressionPreview::sizeLines(qint64 newSize, qint64 originalSize,
                                                            int width, int height,
                                                            int bitsPerPixel) {
    const auto line = [](const char* label, qint64 value) {
        return QString::asprintf("%s%lu", label, static_cast<unsigned long>(value));
    };
    const qint64 pixels = qint64(width) * height;
    SizeLines lines;
    lines.newSize = line("New Size On Disk: ", newSize);
    lines.originalSize = line("Original Size On Disk: ", originalSize);
    lines.memorySize = line("Size In Memory: ", bitsPerPixel == 24 ? pixels * 3 : pixels);
    if (originalSize == 0) {
        lines.percentage = QStringLiteral("  ");
    } else if (const qint64 percent = newSize * 100 / originalSize; percent == 0) {
        lines.percentage =
            QStringLiteral(">") + QStringLiteral("1") + QStringLiteral("% Of Orignal Size");
    } else {
        lines.percentage =
            QString::asprintf("%lu%s", static_cast<unsigned long>(percent), "% Of Orignal Size");
    }
    return lines;
}

QImage CompressionPreview::samplePicture() {
    constexpr int kWidth = 280;
    constexpr int kHeight = 190;
    QImage picture(kWidth, kHeight, QImage::Format_RGB888);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 120);
    sky.setColorAt(0, QColor(40, 90, 180));
    sky.setColorAt(1, QColor(200, 225, 250));
    painter.fillRect(picture.rect(), sky);

    QRadialGradient sun(210, 45, 26);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(0.6, QColor(255, 215, 90));
    sun.setColorAt(1, QColor(255, 215, 90, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sun);
    painter.drawEllipse(QPoint(210, 45), 26, 26);

    QPainterPath far;
    far.moveTo(0, 120);
    far.cubicTo(50, 60, 90, 70, 140, 105);
    far.cubicTo(180, 75, 230, 65, kWidth, 100);
    far.lineTo(kWidth, kHeight);
    far.lineTo(0, kHeight);
    painter.setBrush(QColor(95, 115, 140));
    painter.drawPath(far);

    QPainterPath near;
    near.moveTo(0, 140);
    near.cubicTo(70, 110, 150, 150, kWidth, 125);
    near.lineTo(kWidth, kHeight);
    near.lineTo(0, kHeight);
    QLinearGradient grass(0, 120, 0, kHeight);
    grass.setColorAt(0, QColor(90, 160, 60));
    grass.setColorAt(1, QColor(30, 90, 30));
    painter.setBrush(grass);
    painter.drawPath(near);

    QLinearGradient water(0, 160, 0, kHeight);
    water.setColorAt(0, QColor(70, 130, 200));
    water.setColorAt(1, QColor(20, 60, 130));
    painter.setBrush(water);
    painter.drawEllipse(QRect(120, 158, 130, 26));

    // A tree, for sharp edges on which compression shows first.
    painter.setBrush(QColor(100, 65, 30));
    painter.drawRect(QRect(52, 118, 7, 34));
    painter.setBrush(QColor(25, 110, 40));
    painter.drawEllipse(QPoint(55, 108), 22, 26);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawEllipse(QRect(30, 25, 50, 14));
    painter.drawEllipse(QRect(55, 18, 40, 16));
    painter.end();
    return picture;
}

int CompressionPreview::saveToMemory(const imaging::ImageHandle& source, const SaveOptions& options,
                                     QByteArray* data) {
    const ProgressiveSaves progressive(options.progressive);
    return imaging::saveMemory(data, source, options.format, libraryDepth(options.bitsPerPixel),
                               options.qualityFactor);
}

int CompressionPreview::savedSize(const imaging::ImageHandle& source, const SaveOptions& options,
                                  qint64* size) {
    QByteArray data;
    if (const int status = saveToMemory(source, options, &data); status != imaging::kSuccess) {
        return status;
    }
    imaging::FileInfo info;
    *size = imaging::fileInfoMemory(data, &info) == imaging::kSuccess && info.sizeDisk > 0
                ? info.sizeDisk
                : data.size();
    return imaging::kSuccess;
}

int CompressionPreview::update(const SaveOptions& options) {
    QByteArray data;
    if (const int status = saveToMemory(m_original, options, &data); status != imaging::kSuccess) {
        return status;
    }
    imaging::ImageHandle loaded;
    if (const int status = imaging::loadMemory(data, &loaded); status != imaging::kSuccess) {
        return status;
    }
    m_compressed = std::move(loaded);
    return imaging::kSuccess;
}

}  // namespace image
