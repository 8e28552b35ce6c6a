#pragma once

// Internal: JPEG files (plain and EXIF) through libjpeg-turbo's TurboJPEG API.

#include "imaging/codec.h"

namespace imaging::detail {

bool isJpeg(QByteArrayView head);
int jpegInfo(Input& input, FileInfo* info);
int jpegLoad(Input& input, const LoadRequest& request, ImageHandle* handle);
/// Formats 10 (JPEG) and 98 (EXIF JPEG); 8 bits per pixel writes a grey JPEG.
int jpegSave(const ImageHandle& handle, const SaveRequest& request, QByteArray* out);

/// The orientation (1-8) an EXIF block (a TIFF structure) records, 1 when none.
int exifOrientation(QByteArrayView tiff);
/// A minimal EXIF block (TIFF structure, orientation 1, EXIF version 0220).
QByteArray minimalExif();

}  // namespace imaging::detail
