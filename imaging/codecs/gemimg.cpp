#include "imaging/codecs/gemimg.h"

#include "imaging/codecs/bytereader.h"
#include "imaging/codecs/codecsupport.h"

#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imaging {

namespace {

constexpr int kBaseHeaderWords = 8;
// "XIMG", a colour model word, then three words per colour.
constexpr int kXimgHeaderWords = 11;
constexpr int kMaxPlanes = 8;
constexpr int kWritePatternLength = 2;

struct Header {
    int headerBytes = 0;
    int planes = 0;
    int patternLength = 0;
    int micronsX = 0;
    int micronsY = 0;
    int width = 0;
    int height = 0;
    QVector<QRgb> palette;  // empty when the file brings none
};

bool plausible(ByteReader* reader) {
    const int version = reader->u16be();
    const int headerWords = reader->u16be();
    const int planes = reader->u16be();
    const int patternLength = reader->u16be();
    reader->skip(4);
    const int width = reader->u16be();
    const int height = reader->u16be();
    // The format has no signature, so every field must be in range.
    return !reader->failed() && version >= 1 && version <= 3 && headerWords >= kBaseHeaderWords &&
           planes >= 1 && planes <= 32 && patternLength >= 1 && patternLength <= 8 && width > 0 &&
           height > 0;
}

int readHeader(QByteArrayView data, Header* header) {
    ByteReader reader(data);
    if (!plausible(&reader)) {
        return kErrorInvalidFormat;
    }
    reader.seek(2);
    header->headerBytes = reader.u16be() * 2;
    header->planes = reader.u16be();
    header->patternLength = reader.u16be();
    header->micronsX = reader.u16be();
    header->micronsY = reader.u16be();
    header->width = reader.u16be();
    header->height = reader.u16be();
    if (header->headerBytes > data.size() || header->planes > kMaxPlanes) {
        return kErrorInvalidFormat;
    }
    const int colours = 1 << header->planes;
    if (header->headerBytes >= kXimgHeaderWords * 2 &&
        data.sliced(16, 4) == QByteArrayView("XIMG")) {
        reader.seek(20);
        if (reader.u16be() == 0) {  // 0 is RGB; other models carry no usable palette
            const int given = std::min(colours, (header->headerBytes - 22) / 6);
            header->palette.resize(colours, qRgb(0, 0, 0));
            for (int i = 0; i < given; ++i) {
                int rgb[3];
                for (int& level : rgb) {
                    level = std::min(1000, static_cast<int>(reader.u16be())) * 255 / 1000;
                }
                header->palette[i] = qRgb(rgb[0], rgb[1], rgb[2]);
            }
        }
    }
    return checkImageSize(header->width, header->height);
}

// The VDI's colours 0 to 15, for images that bring no palette.
const QRgb kVdiColours[16] = {
    qRgb(255, 255, 255), qRgb(0, 0, 0),       qRgb(255, 0, 0),   qRgb(0, 255, 0),
    qRgb(0, 0, 255),     qRgb(0, 255, 255),   qRgb(255, 255, 0), qRgb(255, 0, 255),
    qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(128, 0, 0),   qRgb(0, 128, 0),
    qRgb(0, 0, 128),     qRgb(0, 128, 128),   qRgb(128, 128, 0), qRgb(128, 0, 128)};

QVector<QRgb> defaultPalette(int planes) {
    const int colours = 1 << planes;
    if (planes <= 4) {
        return QVector<QRgb>(kVdiColours, kVdiColours + colours);
    }
    // Deeper images without colours are grey scans.
    return greyRamp(colours);
}

bool probe(QByteArrayView head) {
    ByteReader reader(head);
    return plausible(&reader);
}

int depthOf(int planes) {
    return indexedDepth(1 << planes);
}

int readInfo(QByteArrayView data, OwnCodecInfo* info) {
    Header header;
    const int result = readHeader(data, &header);
    if (result != kSuccess) {
        return result;
    }
    info->width = header.width;
    info->height = header.height;
    info->bitsPerPixel = depthOf(header.planes);
    info->pages = 1;
    info->compression = QStringLiteral("RLE");
    return kSuccess;
}

// Collects the decoded bytes of one scan line (every plane, one after the
// other) and hands it out as many times as the vertical replication asked.
class LineSink {
public:
    LineSink(const Header& header, QImage* image)
        : m_header(header),
          m_image(image),
          m_rowBytes((header.width + 7) / 8),
          m_line(static_cast<size_t>(m_rowBytes) * header.planes),
          m_indices(static_cast<size_t>(header.width)) {}

    bool done() const { return m_row >= m_header.height; }
    void setRepeat(int count) { m_repeat = count; }

    void put(uchar byte) {
        if (done()) {
            return;
        }
        m_line[m_fill++] = byte;
        if (m_fill == m_line.size()) {
            flush();
        }
    }

private:
    void flush() {
        if (m_header.planes == 1) {
            std::memcpy(m_image->scanLine(m_row), m_line.data(), static_cast<size_t>(m_rowBytes));
        } else {
            for (int x = 0; x < m_header.width; ++x) {
                const int byte = x >> 3;
                const int shift = 7 - (x & 7);
                int index = 0;
                for (int p = 0; p < m_header.planes; ++p) {
                    index |= ((m_line[static_cast<size_t>(p) * m_rowBytes + byte] >> shift) & 1)
                             << p;
                }
                m_indices[static_cast<size_t>(x)] = static_cast<uchar>(index);
            }
            storeIndexRow(m_indices.data(), m_row, m_image);
        }
        const int first = m_row;
        const int last = std::min(m_header.height, m_row + std::max(1, m_repeat));
        for (m_row = first + 1; m_row < last; ++m_row) {
            std::memcpy(m_image->scanLine(m_row), m_image->constScanLine(first),
                        static_cast<size_t>(m_image->bytesPerLine()));
        }
        m_repeat = 1;
        m_fill = 0;
    }

    const Header& m_header;
    QImage* m_image;
    int m_rowBytes;
    std::vector<uchar> m_line;
    std::vector<uchar> m_indices;
    size_t m_fill = 0;
    int m_row = 0;
    int m_repeat = 1;
};

int decode(QByteArrayView data, OwnDecoded* out) {
    Header header;
    const int result = readHeader(data, &header);
    if (result != kSuccess) {
        return result;
    }
    // No code yields more than 255 scan lines a byte, so a body shorter than
    // that allows is cut off.
    if (data.size() - header.headerBytes < header.height / 255) {
        return kErrorInvalidFormat;
    }
    const int depth = depthOf(header.planes);
    QImage image(header.width, header.height,
                 depth == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    if (image.isNull()) {
        return kErrorNoMemory;
    }
    QVector<QRgb> palette = header.palette;
    if (palette.isEmpty()) {
        palette = depth == 1 ? QVector<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)}
                             : defaultPalette(header.planes);
    }
    image.setColorTable(palette);
    if (header.micronsX > 0 && header.micronsY > 0) {
        image.setDotsPerMeterX(static_cast<int>(std::lround(1e6 / header.micronsX)));
        image.setDotsPerMeterY(static_cast<int>(std::lround(1e6 / header.micronsY)));
    }

    LineSink sink(header, &image);
    ByteReader reader(data, header.headerBytes);
    while (!sink.done()) {
        if (reader.remaining() == 0) {
            return kErrorInvalidFormat;
        }
        const int op = reader.u8();
        if (op == 0x00) {
            const int count = reader.u8();
            if (count == 0) {
                // 00 00 FF n: the next scan line stands for n lines.
                const int marker = reader.u8();
                const int lines = reader.u8();
                if (reader.failed() || marker != 0xFF) {
                    return kErrorInvalidFormat;
                }
                sink.setRepeat(lines);
                continue;
            }
            const QByteArrayView pattern = reader.bytes(header.patternLength);
            if (reader.failed()) {
                return kErrorInvalidFormat;
            }
            for (int i = 0; i < count && !sink.done(); ++i) {
                for (char byte : pattern) {
                    sink.put(static_cast<uchar>(byte));
                }
            }
        } else if (op == 0x80) {
            const QByteArrayView literal = reader.bytes(reader.u8());
            if (reader.failed()) {
                return kErrorInvalidFormat;
            }
            for (char byte : literal) {
                sink.put(static_cast<uchar>(byte));
            }
        } else {
            const uchar value = (op & 0x80) ? 0xFF : 0x00;
            for (int i = op & 0x7F; i > 0; --i) {
                sink.put(value);
            }
        }
    }
    out->image = image;
    out->bitsPerPixel = depth;
    return kSuccess;
}

// One line of a single plane: solid runs for 00 and FF bytes, pattern runs
// for a repeated byte pair, bit strings for the rest.
void packLine(const uchar* line, int n, QByteArray* out) {
    auto solidAt = [&](int i) { return line[i] == 0x00 || line[i] == 0xFF; };
    auto pairRepeatsAt = [&](int i) {
        int repeats = 1;
        while (repeats < 255 && i + 2 * (repeats + 1) <= n &&
               std::memcmp(line + i, line + i + 2 * repeats, 2) == 0) {
            ++repeats;
        }
        return i + 2 <= n ? repeats : 0;
    };
    int i = 0;
    while (i < n) {
        if (solidAt(i)) {
            int run = 1;
            while (i + run < n && run < 127 && line[i + run] == line[i]) {
                ++run;
            }
            out->append(static_cast<char>((line[i] & 0x80) | run));
            i += run;
            continue;
        }
        const int repeats = pairRepeatsAt(i);
        if (repeats >= 3) {
            out->append('\0');
            out->append(static_cast<char>(repeats));
            out->append(reinterpret_cast<const char*>(line + i), kWritePatternLength);
            i += kWritePatternLength * repeats;
            continue;
        }
        const int start = i;
        while (i < n && i - start < 255 && !solidAt(i) && (i == start || pairRepeatsAt(i) < 3)) {
            ++i;
        }
        out->append(static_cast<char>(0x80));
        out->append(static_cast<char>(i - start));
        out->append(reinterpret_cast<const char*>(line + start), i - start);
    }
}

int encode(const QImage& source, int /*bitsPerPixel*/, QByteArray* out) {
    if (source.isNull() || source.width() > 0xFFFF || source.height() > 0xFFFF) {
        return kErrorInvalidParameter;
    }
    const QImage mono = monoWithBlackAs(source, 1);
    if (mono.isNull()) {
        return kErrorNoMemory;
    }
    const int width = mono.width();
    const int height = mono.height();
    const int rowBytes = (width + 7) / 8;
    auto microns = [](int dotsPerMeter) {
        return dotsPerMeter > 0 ? std::clamp(static_cast<int>(std::lround(1e6 / dotsPerMeter)), 1,
                                             0xFFFF)
                                : 85;  // 300 dpi
    };

    out->clear();
    for (int word : {1, kBaseHeaderWords, 1, kWritePatternLength, microns(mono.dotsPerMeterX()),
                     microns(mono.dotsPerMeterY()), width, height}) {
        appendU16be(out, static_cast<quint32>(word));
    }
    int y = 0;
    while (y < height) {
        const uchar* line = mono.constScanLine(y);
        int same = 1;
        while (y + same < height && same < 255 &&
               std::memcmp(mono.constScanLine(y + same), line, static_cast<size_t>(rowBytes)) ==
                   0) {
            ++same;
        }
        if (same > 1) {
            out->append("\0\0\xFF", 3);
            out->append(static_cast<char>(same));
        }
        packLine(line, rowBytes, out);
        y += same;
    }
    return kSuccess;
}

}  // namespace

const OwnCodec& gemimgCodec() {
    static const OwnCodec codec{"GEM", probe, readInfo, decode, encode};
    return codec;
}

}  // namespace imaging
