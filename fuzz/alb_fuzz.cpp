// Arbitrary bytes as an album file: refused or read, never a crash. What is
// read writes back to a file that reads again to the same album.
#include "album/albumfile.h"
#include "platform/fileexception.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AlbumModel album;
    try {
        album = readAlbum(QByteArrayView(data, static_cast<qsizetype>(size)));
    } catch (const FileException&) {
        return 0;
    }
    // Legacy and UTF-16 texts come back as UTF-8, so the first rewrite may
    // differ from the input; from then on the bytes are stable.
    const QByteArray written = writeAlbum(album);
    const QByteArray again = writeAlbum(readAlbum(written));
    if (again != written || readAlbum(written).count() != album.count()) {
        __builtin_trap();
    }
    return 0;
}
