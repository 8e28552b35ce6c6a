#pragma once

// Internal: TIFF files through libtiff, every compression it knows (none,
// LZW, PackBits, Deflate, CCITT groups 3 and 4, JPEG), bilevel, palette,
// grey, RGB, CMYK and YCbCr.

#include "imaging/codec.h"

namespace imaging::detail {

bool isTiff(QByteArrayView head);
int tiffInfo(Input& input, FileInfo* info);
int tiffLoad(Input& input, const LoadRequest& request, ImageHandle* handle);
/// Formats 3 (uncompressed), 87 (PackBits), 11 (JPEG), 27-29 (CCITT, 1 bit),
/// 96 and 97 (EXIF, RGB and YCbCr), 17 (LZW).
int tiffSave(const ImageHandle& handle, const SaveRequest& request, QByteArray* out);

}  // namespace imaging::detail
