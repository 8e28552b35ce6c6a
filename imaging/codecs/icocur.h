#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// Windows icons (.ico) and cursors (.cur) of one picture, write only, at 1,
/// 4, 8, 24 or 32 bits: a directory of one entry and a DIB of the picture
/// followed by its AND mask. The mask is clear, so the picture is opaque,
/// except where a 32-bit picture is fully transparent; 32 bits keep the
/// alpha. Cursors have their hot spot at (0, 0). Pictures past 256 by 256
/// and other depths give kErrorInvalidParameter. ImageMagick reads both but
/// writes 1-bit icons at 32 bits, hence this writer.
const OwnCodec& icoCodec();
const OwnCodec& curCodec();

}  // namespace imaging
