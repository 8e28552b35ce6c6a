#include "imaging/scanner/scanreader.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <thread>

namespace imaging {

namespace {

// One sane_read asks for this much; lines are put together from the pieces.
constexpr SANE_Int kChunkBytes = 64 * 1024;

// Backends also send frame kinds newer than the enum (JPEG, infrared...);
// reading those through the enum type would be undefined, so read an int.
int frameOf(const SANE_Parameters& params) {
    int format = 0;
    static_assert(sizeof params.format == sizeof format);
    std::memcpy(&format, &params.format, sizeof format);
    return format;
}

bool isSingleFrame(int format) {
    return format == SANE_FRAME_GRAY || format == SANE_FRAME_RGB;
}

int sampleAt(const uchar* line, int index, int depth) {
    switch (depth) {
        case 1:
            return (line[index >> 3] >> (7 - (index & 7))) & 1;
        case 8:
            return line[index];
        default: {
            // SANE sends 16-bit samples in the machine's byte order.
            quint16 sample;
            std::memcpy(&sample, line + 2 * qsizetype(index), sizeof sample);
            return sample >> 8;
        }
    }
}

// A colour sample of one bit is either off or full intensity.
uchar colourSample(const uchar* line, int index, int depth) {
    const int sample = sampleAt(line, index, depth);
    return depth == 1 ? (sample ? 255 : 0) : uchar(sample);
}

// Interleaved 1-bit colour comes as a red, a green and a blue byte for each
// eight pixels, as SANE's reference test backend sends it.
uchar bitColourSample(const uchar* line, int x, int channel) {
    return (line[(x >> 3) * 3 + channel] >> (7 - (x & 7))) & 1 ? 255 : 0;
}

}  // namespace

ScanReader::ScanReader(SANE_Handle device, qint64 maxPixels)
    : m_device(device), m_maxPixels(maxPixels) {}

int ScanReader::checkParameters(const SANE_Parameters& params, qint64 maxPixels) {
    const int format = frameOf(params);
    const bool known = format >= SANE_FRAME_GRAY && format <= SANE_FRAME_BLUE;
    if (!known || (params.depth != 1 && params.depth != 8 && params.depth != 16)) {
        return kErrorInvalidFormat;
    }
    if (params.pixels_per_line <= 0 || params.lines == 0 || params.lines < -1) {
        return kErrorInvalidFormat;
    }
    if (params.pixels_per_line > kMaxDimension || params.lines > kMaxDimension ||
        qint64(params.pixels_per_line) * std::max(params.lines, 1) > maxPixels) {
        return kErrorNoMemory;
    }
    const int channels = format == SANE_FRAME_RGB ? 3 : 1;
    const qint64 needed = params.depth == 1
                              ? channels * ((qint64(params.pixels_per_line) + 7) / 8)
                              : qint64(params.pixels_per_line) * channels * params.depth / 8;
    if (params.bytes_per_line < needed) {
        return kErrorInvalidFormat;
    }
    // Lines may be padded, but not so much that a line buffer is whatever
    // the backend says.
    if (params.bytes_per_line > 2 * needed + 4096) {
        return kErrorInvalidFormat;
    }
    return kSuccess;
}

int ScanReader::progress() const {
    const qint64 expected = m_bytesExpected.load();
    if (expected <= 0) {
        return -1;
    }
    return int(std::min<qint64>(1000, m_bytesRead.load() * 1000 / expected));
}

void ScanReader::cancel() {
    m_cancelled.store(true);
    // The SANE standard allows this from any thread, even while sane_read
    // blocks on the worker.
    sane_cancel(m_device);
}

int ScanReader::run() {
    try {
        unsigned passesSeen = 0;  // bit 0 red, 1 green, 2 blue
        bool first = true;
        for (;;) {
            if (m_cancelled.load()) {
                return fail(kErrorUserAbort, {});
            }
            SANE_Status status = sane_start(m_device);
            if (status != SANE_STATUS_GOOD) {
                return failStatus(status, "starting the scan");
            }
            SANE_Parameters params{};
            status = sane_get_parameters(m_device, &params);
            if (status != SANE_STATUS_GOOD) {
                return failStatus(status, "describing the picture");
            }
            const int check = checkParameters(params, m_maxPixels);
            if (check != kSuccess) {
                return fail(check, check == kErrorNoMemory
                                       ? QStringLiteral("The scanned picture would be too large.")
                                       : QStringLiteral("The scanner describes a picture Pixoria "
                                                        "cannot read."));
            }
            const int format = frameOf(params);
            const bool single = isSingleFrame(format);
            int channelOffset = -1;
            if (!single) {
                channelOffset = format - SANE_FRAME_RED;
                if (passesSeen & (1u << channelOffset)) {
                    return fail(kErrorInvalidFormat,
                                QStringLiteral("The scanner sent one colour twice."));
                }
                passesSeen |= 1u << channelOffset;
            }
            if (first) {
                m_width = params.pixels_per_line;
                m_output = format == SANE_FRAME_GRAY
                               ? (params.depth == 1 ? Output::Mono : Output::Gray)
                               : Output::Rgb;
                m_rowBytes = m_output == Output::Mono   ? (m_width + 7) / 8
                             : m_output == Output::Gray ? m_width
                                                        : 3 * m_width;
                if (params.lines > 0) {
                    m_rowLimit = params.lines;
                    m_buffer = QImage(m_width, params.lines,
                                      m_output == Output::Mono   ? QImage::Format_Mono
                                      : m_output == Output::Gray ? QImage::Format_Indexed8
                                                                 : QImage::Format_RGB888);
                    if (m_buffer.isNull()) {
                        return fail(kErrorNoMemory,
                                    QStringLiteral("There is not enough memory for the picture."));
                    }
                    if (!single) {
                        m_buffer.fill(0);  // in case a later pass ends early
                    }
                    m_bytesExpected.store(qint64(params.bytes_per_line) * params.lines *
                                          (single ? 1 : 3));
                } else {
                    m_rowLimit = int(std::min<qint64>(kMaxDimension, m_maxPixels / m_width));
                }
            } else if (single || params.pixels_per_line != m_width) {
                return fail(kErrorInvalidFormat,
                            QStringLiteral("The scanner changed the picture between passes."));
            }
            const int read = readFrame(params, channelOffset);
            if (read != kSuccess) {
                return read;
            }
            if (single || passesSeen == 7) {
                return finish();
            }
            if (params.last_frame) {
                return fail(kErrorInvalidFormat,
                            QStringLiteral("The scanner sent an incomplete colour picture."));
            }
            first = false;
        }
    } catch (const std::bad_alloc&) {
        return fail(kErrorNoMemory, QStringLiteral("There is not enough memory for the picture."));
    }
}

int ScanReader::readFrame(const SANE_Parameters& params, int channelOffset) {
    const bool firstFrame = m_rows == 0;
    const int rowLimit = firstFrame ? m_rowLimit : m_rows;
    const qint64 lineBytes = params.bytes_per_line;
    // Data past the announced lines is dropped; a backend that never stops
    // sending is stopped after one picture's worth of it.
    const qint64 excessLimit =
        lineBytes * (params.lines > 0 ? params.lines : rowLimit) + kChunkBytes;

    std::vector<uchar> chunk(kChunkBytes);
    std::vector<uchar> line(lineBytes);
    qint64 filled = 0;
    qint64 excess = 0;
    int rows = 0;
    for (;;) {
        if (m_cancelled.load()) {
            return fail(kErrorUserAbort, {});
        }
        SANE_Int length = 0;
        const SANE_Status status = sane_read(m_device, chunk.data(), kChunkBytes, &length);
        if (status == SANE_STATUS_EOF) {
            break;
        }
        if (status != SANE_STATUS_GOOD) {
            return failStatus(status, "reading the picture");
        }
        if (length < 0 || length > kChunkBytes) {
            return fail(kErrorInvalidFormat,
                        QStringLiteral("The scanner reported an impossible amount of data."));
        }
        if (length == 0) {
            // Nothing yet from a backend that does not block: wait a little
            // rather than spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        m_bytesRead.fetch_add(length);
        const uchar* from = chunk.data();
        qint64 left = length;
        while (left > 0) {
            const qint64 take = std::min(left, lineBytes - filled);
            if (rows < rowLimit) {
                std::memcpy(line.data() + filled, from, size_t(take));
            } else {
                excess += take;
            }
            filled += take;
            from += take;
            left -= take;
            if (filled == lineBytes) {
                filled = 0;
                if (rows < rowLimit) {
                    convertLine(params, channelOffset, line.data(), outputRow(rows));
                    ++rows;
                } else if (params.lines < 0 && firstFrame) {
                    return fail(kErrorNoMemory,
                                QStringLiteral("The scanned picture would be too large."));
                }
            }
        }
        if (excess > excessLimit) {
            return fail(kErrorInvalidFormat,
                        QStringLiteral("The scanner sent more than it announced."));
        }
    }
    // Some backends end a cancelled scan with a plain end of data.
    if (m_cancelled.load()) {
        return fail(kErrorUserAbort, {});
    }
    if (rows == 0) {
        return fail(kErrorFileRead, QStringLiteral("The scanner sent no picture."));
    }
    m_rows = firstFrame ? rows : std::min(m_rows, rows);
    return kSuccess;
}

void ScanReader::convertLine(const SANE_Parameters& params, int channelOffset, const uchar* in,
                             uchar* out) const {
    const int depth = params.depth;
    if (channelOffset >= 0) {
        for (int x = 0; x < m_width; ++x) {
            out[3 * x + channelOffset] = colourSample(in, x, depth);
        }
        return;
    }
    switch (m_output) {
        case Output::Mono:
            // SANE line art has 1 for black; our 1-bit pictures have 0 for black.
            for (int i = 0; i < m_rowBytes; ++i) {
                out[i] = uchar(~in[i]);
            }
            break;
        case Output::Gray:
            if (depth == 8) {
                std::memcpy(out, in, size_t(m_width));
            } else {
                for (int x = 0; x < m_width; ++x) {
                    out[x] = uchar(sampleAt(in, x, depth));
                }
            }
            break;
        case Output::Rgb:
            if (depth == 8) {
                std::memcpy(out, in, size_t(m_rowBytes));
            } else if (depth == 1) {
                for (int x = 0; x < m_width; ++x) {
                    for (int channel = 0; channel < 3; ++channel) {
                        out[3 * x + channel] = bitColourSample(in, x, channel);
                    }
                }
            } else {
                for (int i = 0; i < 3 * m_width; ++i) {
                    out[i] = uchar(sampleAt(in, i, depth));
                }
            }
            break;
    }
}

uchar* ScanReader::outputRow(int row) {
    if (!m_buffer.isNull()) {
        return m_buffer.scanLine(row);
    }
    const size_t end = size_t(row + 1) * size_t(m_rowBytes);
    if (m_growing.size() < end) {
        m_growing.resize(std::max(end, m_growing.size() * 2));
    }
    return m_growing.data() + size_t(row) * size_t(m_rowBytes);
}

int ScanReader::finish() {
    if (!m_buffer.isNull()) {
        m_image = m_rows == m_buffer.height() ? m_buffer : m_buffer.copy(0, 0, m_width, m_rows);
        m_buffer = QImage();
    } else {
        m_image = QImage(m_width, m_rows,
                         m_output == Output::Mono   ? QImage::Format_Mono
                         : m_output == Output::Gray ? QImage::Format_Indexed8
                                                    : QImage::Format_RGB888);
        if (m_image.isNull()) {
            return fail(kErrorNoMemory,
                        QStringLiteral("There is not enough memory for the picture."));
        }
        for (int y = 0; y < m_rows; ++y) {
            std::memcpy(m_image.scanLine(y), m_growing.data() + size_t(y) * size_t(m_rowBytes),
                        size_t(m_rowBytes));
        }
        std::vector<uchar>().swap(m_growing);
    }
    if (m_image.isNull()) {
        return fail(kErrorNoMemory, QStringLiteral("There is not enough memory for the picture."));
    }
    switch (m_output) {
        case Output::Mono:
            m_image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
            m_bitsPerPixel = 1;
            break;
        case Output::Gray: {
            QList<QRgb> greys(256);
            for (int i = 0; i < 256; ++i) {
                greys[i] = qRgb(i, i, i);
            }
            m_image.setColorTable(greys);
            m_bitsPerPixel = 8;
            break;
        }
        case Output::Rgb:
            m_bitsPerPixel = 24;
            break;
    }
    return kSuccess;
}

int ScanReader::fail(int code, const QString& text) {
    // Whatever a backend reports after being cancelled is the cancel.
    if (m_cancelled.load() || code == kErrorUserAbort) {
        m_errorText = QStringLiteral("The scan was cancelled.");
        return kErrorUserAbort;
    }
    m_errorText = text;
    return code;
}

int ScanReader::failStatus(SANE_Status status, const char* during) {
    const QString text = QStringLiteral("The scanner failed while %1: %2.")
                             .arg(QLatin1String(during), QString::fromUtf8(sane_strstatus(status)));
    switch (status) {
        case SANE_STATUS_CANCELLED:
            return fail(kErrorUserAbort, text);
        case SANE_STATUS_NO_MEM:
            return fail(kErrorNoMemory, text);
        default:
            return fail(kErrorFileRead, text);
    }
}

}  // namespace imaging
