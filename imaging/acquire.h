#pragma once

#include "imaging/imagehandle.h"
#include "imaging/scanner/scanner.h"

namespace imaging {

/// Acquires one picture from the scanner's chosen source into the handle,
/// at the depth the scan delivered. 1, or a negative code (the handle is
/// unchanged then). Interface thread only, like the scanner.
int acquireImage(Scanner& scanner, ImageHandle* handle);

}  // namespace imaging
