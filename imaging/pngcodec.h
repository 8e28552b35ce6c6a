#pragma once

// Internal: PNG files through libpng, at their own depth.

#include "imaging/codec.h"

namespace imaging::detail {

bool isPng(QByteArrayView head);
int pngInfo(Input& input, FileInfo* info);
int pngLoad(Input& input, const LoadRequest& request, ImageHandle* handle);
int pngSave(const ImageHandle& handle, const SaveRequest& request, QByteArray* out);

}  // namespace imaging::detail
