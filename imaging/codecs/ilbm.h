#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// IFF pictures of the Amiga (.iff, .lbm): FORM ILBM with 1 to 8 bit planes
/// and a CMAP (including Extra Half-Brite and Hold-And-Modify), 24- and
/// 32-bit deep ILBM, and the chunky FORM PBM, each uncompressed or ByteRun1.
/// Writes 24-bit ILBM with ByteRun1, whatever depth it is asked for.
const OwnCodec& ilbmCodec();

}  // namespace imaging
