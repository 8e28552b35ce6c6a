#pragma once

#include "imaging/imagehandle.h"

#include <QByteArrayView>
#include <QString>

/// The second library: the formats the main one leaves alone (the portable
/// maps, SGI, X bitmaps, pixmaps and window dumps, IFF Amiga, Windows
/// clipboard files, LZW-compressed TIFF), with its own format codes (see
/// formatcodes.h, imaging::second) and its own conventions: 0 is success, a
/// negative value an error, and failures are also kept in an error list.
/// Safe from any thread; each thread has its own error list.
namespace imaging::second {

/// Its format code for the file, 0 when it does not recognise it.
int probe(const QString& path);
int probeMemory(QByteArrayView data);

/// Loads into a main-library handle. 0 on success.
int load(const QString& path, ImageHandle* handle);
int loadMemory(QByteArrayView data, ImageHandle* handle);

/// Saves in one of its formats (IFF Amiga). 0 on success.
int save(const QString& path, const ImageHandle& handle, int secondFormat);

/// The library that reads (or, `forSaving`, writes) one of its formats
/// here; empty when none does.
QString backendName(int secondFormat, bool forSaving = false);

struct Error {
    int code = 0;
    QString module;
    int line = 0;
};
int errorCount();
Error errorAt(int index);
void clearErrors();

}  // namespace imaging::second
