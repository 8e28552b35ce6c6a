// Arbitrary bytes read as a run of archive values: every length is checked
// against what is left, so no read runs past the data or allocates wildly.
#include "platform/archive.h"
#include "platform/fileexception.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArchiveReader archive(QByteArrayView(data, static_cast<qsizetype>(size)));
    try {
        while (!archive.atEnd()) {
            switch (archive.readByte() % 4) {
                case 0:
                    (void)archive.readString();
                    break;
                case 1:
                    (void)archive.readInt32();
                    break;
                case 2:
                    (void)archive.readUInt16();
                    break;
                default:
                    (void)archive.readBytes(archive.readByte());
                    break;
            }
        }
    } catch (const FileException&) {
    }
    return 0;
}
