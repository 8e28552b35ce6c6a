#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// Windows Metafile (.wmf), write only: a placeable metafile whose one
/// drawing record, StretchDIBits, carries the picture as an 8-bit DIB (for
/// depths up to 8) or a 24-bit one. Pictures over 32767 pixels a side give
/// kErrorInvalidParameter. The record has no probe, readInfo or decode:
/// ImageMagick reads WMF.
const OwnCodec& wmfCodec();

}  // namespace imaging
