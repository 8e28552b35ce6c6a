// Arbitrary bytes as a settings file: refused or read, never a crash.
#include "app/settingsfile.h"
#include "platform/archive.h"
#include "platform/fileexception.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArchiveReader archive(QByteArrayView(data, static_cast<qsizetype>(size)));
    try {
        const TextStyle style = readSettingsFile(archive);
        // What was read writes back to the bytes it came from.
        ArchiveWriter writer;
        writeSettingsFile(writer, style);
        (void)writer.data().size();
    } catch (const FileException&) {
    }
    return 0;
}
