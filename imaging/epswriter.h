#pragma once

// Internal: Encapsulated PostScript written as one raster image. The
// system's ImageMagick policy forbids its PostScript coders, and this is all
// a raster EPS needs.

#include "imaging/codec.h"

namespace imaging::detail {

int epsSave(const ImageHandle& handle, const SaveRequest& request, QByteArray* out);

}  // namespace imaging::detail
