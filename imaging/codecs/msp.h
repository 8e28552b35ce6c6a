#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// Microsoft Paint for Windows 1.x and 2.x (.msp): 1-bit pictures. Reads
/// version 1 (uncompressed) and version 2 (run-length coded rows behind a
/// table of row lengths); writes version 2. Bit 1 is white.
const OwnCodec& mspCodec();

}  // namespace imaging
