#pragma once

// Internal: GIF files through giflib, every page counted, interlaced saves.

#include "imaging/codec.h"

namespace imaging::detail {

bool isGif(QByteArrayView head);
int gifInfo(Input& input, FileInfo* info);
int gifLoad(Input& input, const LoadRequest& request, ImageHandle* handle);
int gifSave(const ImageHandle& handle, const SaveRequest& request, QByteArray* out);

}  // namespace imaging::detail
