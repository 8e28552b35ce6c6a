// Arbitrary bytes as a Microsoft Paint file: the probe, the header and the pixels
// must give a result code and never read, loop or allocate beyond the limits.
#include "imaging/codecs/msp.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const imaging::OwnCodec& codec = imaging::mspCodec();
    (void)codec.probe(bytes.first(std::min<qsizetype>(bytes.size(), 512)));
    imaging::OwnCodecInfo info;
    (void)codec.readInfo(bytes, &info);
    imaging::OwnDecoded decoded;
    (void)codec.decode(bytes, &decoded);
    return 0;
}
