#pragma once

// Internal: the long tail of formats through ImageMagick 6 (Magick++), with
// resource limits for untrusted input and one thread per call.

#include "imaging/codec.h"

namespace imaging::detail {

/// Reads `input` as the ImageMagick format `magick` (e.g. "PCX").
/// `nativeBitsPerPixel` (0: judge from the picture) is the depth it loads at.
int magickInfo(Input& input, const char* magick, FileInfo* info);
int magickLoad(Input& input, const char* magick, const LoadRequest& request, ImageHandle* handle,
               int nativeBitsPerPixel = 0);
/// Writes the image as `magick`. `compression` names ImageMagick's
/// compression ("RLE", ...), empty for the format's default; `defines` are
/// coder options as "key=value".
int magickSave(const ImageHandle& handle, const char* magick, int bitsPerPixel, int qualityFactor,
               QByteArray* out, const char* compression = nullptr, const QStringList& defines = {});

/// Whether ImageMagick on this system reads or writes the format (its
/// coders and the system's security policy allow it).
bool magickCanRead(const char* magick);
bool magickCanWrite(const char* magick);

}  // namespace imaging::detail
