#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// GEM raster images (.img). Reads 1 to 8 bit planes, with the colours of an
/// XIMG header when there is one; writes 1-bit images. Bit 1 is black.
const OwnCodec& gemimgCodec();

}  // namespace imaging
