#pragma once

#include <QString>

/// What file information reports, and the default file-option record.
namespace imaging {

struct FileInfo {
    int format = 0;  // the main library's format code
    int width = 0;   // as the picture is shown: after its stored orientation
    int height = 0;
    int bitsPerPixel = 0;
    int pages = 0;
    qint64 sizeDisk = 0;    // bytes of the file or memory block
    qint64 sizeMemory = 0;  // bytes the loaded image takes, rows padded to 4 bytes
    QString compression;    // e.g. "None", "LZW", "JPEG", "RLE"
};

/// The default file-option record. Its eight fields, in their order:
///   1 xResolution, 2 yResolution: dots per inch at which vector pictures
///     (metafiles, PostScript) are drawn when they are loaded (default 200);
///   3 flags: kOptionInterlaced makes GIF saves interlaced, kOptionCountPages
///     makes file information count the pages of multi-page files;
///   4 passes: -1 makes JPEG saves progressive, 0 baseline;
///   5 pageLimit: the most pages file information counts (1 counts none
///     beyond the first);
///   6, 7 unused, kept 0;
///   8 page: the page (0-based) loads read.
/// Each thread has its own record, so a worker's loads never see options
/// that the interface thread set for its own.
struct FileOptions {
    int xResolution = 200;
    int yResolution = 200;
    int flags = 0;
    int passes = 0;
    int pageLimit = 1;
    int unused6 = 0;
    int unused7 = 0;
    int page = 0;

    bool operator==(const FileOptions&) const = default;
};

inline constexpr int kOptionInterlaced = 16;
inline constexpr int kOptionCountPages = 32;

FileOptions defaultFileOptions();
void setDefaultFileOptions(const FileOptions& options);

}  // namespace imaging
