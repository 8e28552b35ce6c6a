#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// OS/2 2.x bitmaps (.bmp), write only, at 1, 4, 8 or 24 bits: the "BM" file
/// header, the 64-byte BITMAPINFOHEADER2, a colour table of 4-byte entries
/// and uncompressed bottom-up rows padded to four bytes. ImageMagick writes
/// no OS/2 2.x header, hence this writer; note that ImageMagick 6 reads the
/// palette after this header as 3-byte entries, so it gets the colours of
/// 1-, 4- and 8-bit files wrong, ours or not. Other depths give
/// kErrorInvalidParameter.
const OwnCodec& os2Bmp2Codec();

}  // namespace imaging
