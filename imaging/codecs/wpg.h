#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// WordPerfect Graphics 1.0 (.wpg), write only, at 1, 4 or 8 bits: a start
/// record, the colour map, one run-length coded bitmap and the end record.
/// Other depths give kErrorInvalidParameter. The record has no probe,
/// readInfo or decode: ImageMagick reads WPG.
const OwnCodec& wpgCodec();

}  // namespace imaging
