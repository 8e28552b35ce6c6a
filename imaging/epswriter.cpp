#include "imaging/epswriter.h"

#include "imaging/errors.h"

#include <cmath>

namespace imaging::detail {

int epsSave(const ImageHandle& source, const SaveRequest& request, QByteArray* out) {
    const int depth = request.bitsPerPixel == 0 ? source.bitsPerPixel : request.bitsPerPixel;
    ImageHandle image;
    if (const int status = imageAtDepth(source, depth, &image); status != kSuccess) {
        return status;
    }
    // 8 bits and less are written as grey when the palette is grey, else as
    // colour; the image operator has no palettes.
    bool grey = depth <= 8;
    for (QRgb colour : image.image.colorTable()) {
        grey = grey && qRed(colour) == qGreen(colour) && qGreen(colour) == qBlue(colour);
    }
    const QImage pixels = image.image.convertToFormat(QImage::Format_RGB888);
    const int width = pixels.width();
    const int height = pixels.height();
    const int components = grey ? 1 : 3;
    // The printed size in points at the file-option record's resolution,
    // the one EPS pictures are drawn at when loaded, so they come back at
    // their own size.
    const double across = width * 72.0 / std::max(1, request.options.xResolution);
    const double down = height * 72.0 / std::max(1, request.options.yResolution);
    const QByteArray points = QByteArray::number(across, 'f', 4);
    const QByteArray pointsDown = QByteArray::number(down, 'f', 4);

    QByteArray eps;
    eps.reserve(qsizetype(width) * height * components * 2 + 1024);
    eps += "%!PS-Adobe-3.0 EPSF-3.0\n";
    eps += "%%Creator: Pixoria\n";
    eps += "%%BoundingBox: 0 0 " + QByteArray::number(static_cast<int>(std::ceil(across))) + ' ' +
           QByteArray::number(static_cast<int>(std::ceil(down))) + '\n';
    eps += "%%HiResBoundingBox: 0 0 " + points + ' ' + pointsDown + '\n';
    eps += "%%LanguageLevel: 2\n%%Pages: 1\n%%EndComments\n";
    eps += "gsave\n";
    eps += points + ' ' + pointsDown + " scale\n";
    eps += QByteArray::number(width) + ' ' + QByteArray::number(height) + " 8 [" +
           QByteArray::number(width) + " 0 0 -" + QByteArray::number(height) + " 0 " +
           QByteArray::number(height) + "]\n";
    eps += grey ? "currentfile /ASCIIHexDecode filter image\n"
                : "currentfile /ASCIIHexDecode filter false 3 colorimage\n";
    static const char kHex[] = "0123456789abcdef";
    for (int y = 0; y < height; ++y) {
        const uchar* row = pixels.constScanLine(y);
        int column = 0;
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                const uchar value = grey ? row[3 * x] : row[3 * x + c];
                eps += kHex[value >> 4];
                eps += kHex[value & 15];
                if (++column == 39) {
                    eps += '\n';
                    column = 0;
                }
            }
        }
        eps += '\n';
    }
    eps += ">\ngrestore\nshowpage\n%%EOF\n";
    *out = std::move(eps);
    return kSuccess;
}

}  // namespace imaging::detail
