#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// Windows clipboard files (.clp) of Windows 3.x (file id 0xC350) and NT
/// (0xC351, 0xC352), read only. The picture comes from the CF_DIB entry,
/// else CF_DIBV5, else a CF_BITMAP of 1, 4, 8 or 24 bits; files holding
/// only other formats are refused.
const OwnCodec& clpCodec();

}  // namespace imaging
