// Arbitrary bytes given to file information and to loading from memory:
// every answer is a result code, never a crash or a runaway allocation.
#include "imaging/errors.h"
#include "imaging/imagefile.h"
#include "imaging/secondlibrary.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    imaging::FileInfo info;
    const int recognised = imaging::fileInfoMemory(bytes, &info);
    imaging::ImageHandle handle;
    if (imaging::loadMemory(bytes, &handle) == imaging::kSuccess) {
        // What loads is a real picture of the size information gives.
        if (recognised != imaging::kSuccess || !handle.isAllocated()) {
            __builtin_trap();
        }
    }
    if (imaging::second::loadMemory(bytes, &handle) != 0) {
        imaging::second::clearErrors();
    }
    return 0;
}
