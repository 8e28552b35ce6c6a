#pragma once

#include "imaging/imagehandle.h"

namespace image {

/// The pictures a document shows when its file could not be loaded: an
/// enciphered file that did not open (a padlock), or any other (a torn
/// photograph). Both are 24-bit images of our own drawing.
enum class Placeholder { Encrypted = 214, LoadFailed = 215 };

int makePlaceholder(Placeholder which, imaging::ImageHandle* handle);

}  // namespace image
