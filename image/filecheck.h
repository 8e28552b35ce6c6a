#pragma once

#include <QString>

namespace image {

/// 1 when `path` is an image the program can open, otherwise 0.
int fileCheck(const QString& path);

}  // namespace image
