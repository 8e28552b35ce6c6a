#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// ZSoft PCX version 5 (.pcx), write only, run-length coded: 1 bit as one
/// plane with its two colours in the header palette, 4 bits as four 1-bit
/// planes with the header palette, 8 bits as one plane with the 256-colour
/// palette at the end, 24 bits as three 8-bit planes. ImageMagick reads PCX
/// but writes 1 and 4 bits deeper, hence this writer. Other depths give
/// kErrorInvalidParameter.
const OwnCodec& pcxCodec();

}  // namespace imaging
