#include "imaging/colourreduction.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <vector>

namespace imaging {

namespace {

constexpr int kHistogramBits = 5;
constexpr int kHistogramSide = 1 << kHistogramBits;
constexpr int kHistogramSize = kHistogramSide * kHistogramSide * kHistogramSide;

int cellOf(int r, int g, int b) {
    return ((r >> 3) << (2 * kHistogramBits)) | ((g >> 3) << kHistogramBits) | (b >> 3);
}

QImage asRgb32(const QImage& image) {
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32) {
        return image;
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

/// A box of histogram cells for the median cut.
struct Box {
    int lo[3];
    int hi[3];  // inclusive
    qint64 count = 0;
};

void shrinkBox(Box& box, const std::vector<quint32>& histogram) {
    int lo[3] = {kHistogramSide, kHistogramSide, kHistogramSide};
    int hi[3] = {-1, -1, -1};
    qint64 count = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r) {
        for (int g = box.lo[1]; g <= box.hi[1]; ++g) {
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                const quint32 n = histogram[(r << 10) | (g << 5) | b];
                if (n == 0) {
                    continue;
                }
                count += n;
                lo[0] = std::min(lo[0], r), hi[0] = std::max(hi[0], r);
                lo[1] = std::min(lo[1], g), hi[1] = std::max(hi[1], g);
                lo[2] = std::min(lo[2], b), hi[2] = std::max(hi[2], b);
            }
        }
    }
    box.count = count;
    if (count > 0) {
        std::copy(lo, lo + 3, box.lo);
        std::copy(hi, hi + 3, box.hi);
    }
}

/// Cached nearest-palette lookups on the 5-bit grid, for images with many
/// colours; exact look-ups go through nearestIndex.
class NearestCache {
public:
    explicit NearestCache(const QList<QRgb>& palette) : m_palette(palette) { m_cells.fill(-1); }
    int lookup(int r, int g, int b) {
        int& cell = m_cells[cellOf(r, g, b)];
        if (cell < 0) {
            // The centre of the cell stands for all of it.
            cell = nearestIndex(m_palette, qRgb((r & ~7) | 4, (g & ~7) | 4, (b & ~7) | 4));
        }
        return cell;
    }

private:
    const QList<QRgb>& m_palette;
    std::array<int, kHistogramSize> m_cells;
};

// 8x8 Bayer threshold matrix, values 0-63.
constexpr int kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

int clampByte(int value) {
    return std::clamp(value, 0, 255);
}

}  // namespace

QImage packMono(const QImage& indexed) {
    QImage mono(indexed.size(), QImage::Format_Mono);
    if (mono.isNull()) {
        return {};
    }
    mono.setColorTable(indexed.colorTable());
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* in = indexed.constScanLine(y);
        uchar* out = mono.scanLine(y);
        std::fill(out, out + mono.bytesPerLine(), 0);
        for (int x = 0; x < indexed.width(); ++x) {
            if (in[x]) {
                out[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
            }
        }
    }
    return mono;
}

namespace {}  // namespace

int nearestIndex(const QList<QRgb>& palette, QRgb colour) {
    int best = 0;
    int bestDistance = INT_MAX;
    const int r = qRed(colour), g = qGreen(colour), b = qBlue(colour);
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = r - qRed(palette[i]);
        const int dg = g - qGreen(palette[i]);
        const int db = b - qBlue(palette[i]);
        // Weighted towards green, as the eye is.
        const int distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) {
                break;
            }
        }
    }
    return best;
}

QList<QRgb> exactColours(const QImage& source, int limit) {
    const QImage image = asRgb32(source);
    QHash<QRgb, bool> seen;
    QList<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb last = 0;
        bool haveLast = false;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = line[x] | 0xFF000000u;
            if (haveLast && colour == last) {
                continue;
            }
            last = colour;
            haveLast = true;
            if (!seen.contains(colour)) {
                if (colours.size() >= limit) {
                    return {};
                }
                seen.insert(colour, true);
                colours.append(colour);
            }
        }
    }
    return colours;
}

QList<QRgb> medianCutPalette(const QImage& source, int colours) {
    const QImage image = asRgb32(source);
    std::vector<quint32> histogram(kHistogramSize, 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            ++histogram[cellOf(qRed(line[x]), qGreen(line[x]), qBlue(line[x]))];
        }
    }
    std::vector<Box> boxes;
    Box all{{0, 0, 0}, {kHistogramSide - 1, kHistogramSide - 1, kHistogramSide - 1}, 0};
    shrinkBox(all, histogram);
    if (all.count == 0) {
        return {qRgb(0, 0, 0)};
    }
    boxes.push_back(all);
    while (static_cast<int>(boxes.size()) < colours) {
        // Split the box with the most pixels among those that can be split,
        // along its longest side, at the median.
        int chosen = -1;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            const Box& b = boxes[i];
            const bool splittable = b.hi[0] > b.lo[0] || b.hi[1] > b.lo[1] || b.hi[2] > b.lo[2];
            if (splittable && (chosen < 0 || b.count > boxes[chosen].count)) {
                chosen = i;
            }
        }
        if (chosen < 0) {
            break;
        }
        Box box = boxes[chosen];
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (box.hi[a] - box.lo[a] > box.hi[axis] - box.lo[axis]) {
                axis = a;
            }
        }
        std::vector<qint64> slice(kHistogramSide, 0);
        for (int r = box.lo[0]; r <= box.hi[0]; ++r) {
            for (int g = box.lo[1]; g <= box.hi[1]; ++g) {
                for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                    const int coordinate[3] = {r, g, b};
                    slice[coordinate[axis]] += histogram[(r << 10) | (g << 5) | b];
                }
            }
        }
        qint64 running = 0;
        int cut = box.lo[axis];
        for (int v = box.lo[axis]; v < box.hi[axis]; ++v) {
            running += slice[v];
            cut = v;
            if (running * 2 >= box.count) {
                break;
            }
        }
        Box low = box;
        Box high = box;
        low.hi[axis] = cut;
        high.lo[axis] = cut + 1;
        shrinkBox(low, histogram);
        shrinkBox(high, histogram);
        boxes[chosen] = low;
        if (high.count > 0) {
            boxes.push_back(high);
        }
    }
    QList<QRgb> palette;
    for (const Box& box : boxes) {
        qint64 sum[3] = {0, 0, 0};
        qint64 count = 0;
        for (int r = box.lo[0]; r <= box.hi[0]; ++r) {
            for (int g = box.lo[1]; g <= box.hi[1]; ++g) {
                for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                    const qint64 n = histogram[(r << 10) | (g << 5) | b];
                    sum[0] += n * ((r << 3) | 4);
                    sum[1] += n * ((g << 3) | 4);
                    sum[2] += n * ((b << 3) | 4);
                    count += n;
                }
            }
        }
        if (count > 0) {
            palette.append(qRgb(static_cast<int>(sum[0] / count), static_cast<int>(sum[1] / count),
                                static_cast<int>(sum[2] / count)));
        }
    }
    return palette;
}

QImage mapToPalette(const QImage& source, const QList<QRgb>& palette) {
    const QImage image = asRgb32(source);
    QImage out(image.size(), QImage::Format_Indexed8);
    if (out.isNull()) {
        return {};
    }
    out.setColorTable(palette);
    QHash<QRgb, uchar> indices;
    for (int y = 0; y < image.height(); ++y) {
        if ((y & 63) == 0 && !reportStatus(static_cast<int>(qint64(y) * 100 / image.height()))) {
            return {};
        }
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = in[x] | 0xFF000000u;
            auto found = indices.constFind(colour);
            if (found == indices.constEnd()) {
                found = indices.insert(colour, static_cast<uchar>(nearestIndex(palette, colour)));
            }
            dst[x] = *found;
        }
    }
    return reportStatus(100) ? out : QImage();
}

QImage ditherToPalette(const QImage& source, const QList<QRgb>& palette, Dither dither, bool mono) {
    const QImage image = asRgb32(source);
    const int width = image.width();
    const int height = image.height();
    QImage out(width, height, QImage::Format_Indexed8);
    if (out.isNull()) {
        return {};
    }
    out.setColorTable(palette);

    // Few colours: exact look-ups; many: the cached grid.
    const bool exact = palette.size() <= 16;
    NearestCache cache(palette);
    const auto indexOf = [&](int r, int g, int b) {
        return exact ? nearestIndex(palette, qRgb(r, g, b)) : cache.lookup(r, g, b);
    };
    // How far the ordered pattern moves a colour: about one palette step.
    const int spread = palette.size() <= 2 ? 255 : palette.size() <= 16 ? 96 : 40;

    std::vector<int> errorThis(3 * (width + 2), 0);
    std::vector<int> errorNext(3 * (width + 2), 0);
    for (int y = 0; y < height; ++y) {
        if ((y & 63) == 0 && !reportStatus(static_cast<int>(qint64(y) * 100 / height))) {
            return {};
        }
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* dst = out.scanLine(y);
        std::fill(errorNext.begin(), errorNext.end(), 0);
        for (int x = 0; x < width; ++x) {
            int r = qRed(in[x]), g = qGreen(in[x]), b = qBlue(in[x]);
            if (dither == Dither::Ordered) {
                const int offset = (kBayer[y & 7][x & 7] * 2 - 63) * spread / 128;
                r = clampByte(r + offset), g = clampByte(g + offset), b = clampByte(b + offset);
            } else {
                int* e = &errorThis[3 * (x + 1)];
                r = clampByte(r + e[0] / 16), g = clampByte(g + e[1] / 16),
                b = clampByte(b + e[2] / 16);
            }
            const int index = indexOf(r, g, b);
            dst[x] = static_cast<uchar>(index);
            if (dither == Dither::ErrorDiffusion) {
                const QRgb chosen = palette[index];
                const int err[3] = {r - qRed(chosen), g - qGreen(chosen), b - qBlue(chosen)};
                for (int c = 0; c < 3; ++c) {
                    // Floyd-Steinberg weights 7, 3, 5, 1 (in sixteenths).
                    errorThis[3 * (x + 2) + c] += err[c] * 7;
                    errorNext[3 * x + c] += err[c] * 3;
                    errorNext[3 * (x + 1) + c] += err[c] * 5;
                    errorNext[3 * (x + 2) + c] += err[c];
                }
            }
        }
        std::swap(errorThis, errorNext);
    }
    if (!reportStatus(100)) {
        return {};
    }
    if (mono && palette.size() <= 2) {
        return packMono(out);
    }
    return out;
}

}  // namespace imaging
