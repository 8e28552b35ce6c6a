#pragma once

#include <QString>

namespace image {

/// What the file check found out about a path besides its answer.
struct FileCheck {
    int result = 0;              // 1 when the program can open the path as an image
    bool secondLibrary = false;  // to be read through the second library
    bool encrypted = false;      // an enciphered image
};

/// Whether `path` is an image the program can open: one the main imaging
/// library recognises, an enciphered image, or one of the second library's
/// formats (and the LZW-compressed TIFFs, which that library reads).
FileCheck checkFile(const QString& path);
/// checkFile's answer alone.
int fileCheck(const QString& path);

}  // namespace image
