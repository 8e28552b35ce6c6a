#pragma once

#include "image/savetypestate.h"
#include "imaging/imagehandle.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace image {

/// The compression dialog's work without its widgets: the preview copy of
/// the image, that copy after a trip through the chosen format, the sizes
/// the dialog reports and where its two pictures go. Interface thread only.
class CompressionPreview {
public:
    static constexpr int kMaxWidth = 290;
    static constexpr int kMaxHeight = 300;
    static constexpr int kBandTop = 5;
    static constexpr int kGap = 20;

    struct SizeLines {
        QString newSize;
        QString originalSize;
        QString memorySize;
        QString percentage;
    };
    struct Placement {
        QPoint left;
        QPoint right;
    };

    /// The preview of `image`, or of the sample picture without one.
    explicit CompressionPreview(const imaging::ImageHandle* image);

    /// The size the preview of an image of `size` gets: unchanged when it
    /// fits in 290 by 300, else the largest proportional size that does.
    static QSize previewSize(QSize size);
    /// The pictures centred side by side, kGap apart, each centred
    /// vertically in the 300-pixel band below kBandTop.
    static Placement place(int bandWidth, QSize left, QSize right);
    static SizeLines sizeLines(qint64 newSize, qint64 originalSize, int width, int height,
                               int bitsPerPixel);
    /// A small landscape that stands in when there is no image to show.
    static QImage samplePicture();

    /// Saves `source` to memory with the options (progressive through the
    /// default file-option record) and returns the bytes.
    static int saveToMemory(const imaging::ImageHandle& source, const SaveOptions& options,
                            QByteArray* data);
    /// The size on disk of `source` saved with the options.
    static int savedSize(const imaging::ImageHandle& source, const SaveOptions& options,
                         qint64* size);

    bool hasImage() const { return m_hasImage; }
    const imaging::ImageHandle& original() const { return m_original; }
    const imaging::ImageHandle& compressed() const { return m_compressed; }
    /// Saves the preview with the options and loads it back into
    /// compressed(); on failure compressed() keeps its picture.
    int update(const SaveOptions& options);

private:
    bool m_hasImage;
    imaging::ImageHandle m_original;
    imaging::ImageHandle m_compressed;
};

}  // namespace image
