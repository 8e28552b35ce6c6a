#pragma once

#include "imaging/fileinfo.h"
#include "imaging/imagehandle.h"
#include "imaging/photocd.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSize>
#include <QString>

/// Reading and writing image files: file information, loading at the file's
/// own depth (photos upright by their stored orientation), and saving with a
/// format code, depth and quality factor. Saves to a path write a temporary
/// file beside it and rename it over the old one only when complete.
/// Safe to call from several threads at once on different handles.
namespace imaging {

/// 1 when the file is recognised, else a negative code.
int fileInfo(const QString& path, FileInfo* info);
int fileInfoMemory(QByteArrayView data, FileInfo* info);

/// Loads the picture at its own depth (`bitsPerPixel` 0) or converted to
/// the given one.
int loadFile(const QString& path, ImageHandle* handle, int bitsPerPixel = 0);
int loadMemory(QByteArrayView data, ImageHandle* handle, int bitsPerPixel = 0);
/// Loads the picture reduced to fit inside `bound` (never enlarged), at 24
/// or 32 bits. JPEGs are decoded at the smallest scale that still covers
/// the bound, which makes thumbnails and previews cheap.
int loadFileScaled(const QString& path, QSize bound, ImageHandle* handle);
int loadMemoryScaled(QByteArrayView data, QSize bound, ImageHandle* handle);

/// The quality factor runs from 2 (best) to 255 (smallest file).
inline constexpr int kDefaultQualityFactor = 20;
int saveFile(const QString& path, const ImageHandle& handle, int format, int bitsPerPixel,
             int qualityFactor = kDefaultQualityFactor);
int saveMemory(QByteArray* data, const ImageHandle& handle, int format, int bitsPerPixel,
               int qualityFactor = kDefaultQualityFactor);
/// Whether a save in this format code can be attempted here at all.
bool canSave(int format);
/// Whether a file of this format code can be loaded here.
bool canLoad(int format);
/// The library that stands behind a format code here, for listings; empty
/// when none does.
QString backendName(int format, bool forSaving);

/// FlashPix: the sizes stored in a file, and the one the next load takes.
int flashPixResolutions(const QString& path, QList<QSize>* sizes);
void setFlashPixResolution(int index);

}  // namespace imaging
