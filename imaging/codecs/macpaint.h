#pragma once

#include "imaging/codecs/owncodec.h"

namespace imaging {

/// MacPaint (.mac), write only: always 576 by 720 at 1 bit, black as 1. A
/// smaller picture sits at the top left on white; a larger one is cropped.
/// The file is MacBinary II wrapped (type PNTG, creator MPNT), as pictures
/// that left the Mac are and as ImageMagick's reader expects.
/// The record has no probe, readInfo or decode: ImageMagick reads MacPaint.
const OwnCodec& macpaintCodec();

}  // namespace imaging
