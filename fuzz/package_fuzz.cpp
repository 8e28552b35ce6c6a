// Arbitrary bytes as the part of a runtime player package behind its stub:
// refused or read, with and without a password, never a crash. The stub is
// a fixed run of zeros, so the inputs stay small; a trailer of 200,000
// finds the header right at the input's start.
#include "runtime/packagereader.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr qint64 kStubLength = 200'000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One file for the whole run, removed when the fuzzer ends.
    static QTemporaryFile package;
    if (!package.isOpen() && !package.open()) {
        return 0;
    }
    package.resize(kStubLength);
    package.seek(kStubLength);
    package.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    package.flush();
    const QString path = package.fileName();

    const runtime::PackageReadResult header = runtime::readPackageHeader(path);
    for (const QString& password : {QString(), QStringLiteral("fuzzing")}) {
        const runtime::PackageReadResult read = runtime::readPackage(path, password);
        // The content agrees with the tables it was read by.
        if (read.ok()) {
            const runtime::PackageContent& content = read.content;
            const int count = content.header.imageCount;
            if (!header.ok() || content.images.size() != count || content.sounds.size() != count ||
                content.descriptions.size() != count) {
                std::abort();
            }
            for (int i = 0; i < count; ++i) {
                if (content.images[i].size() != content.header.imageLengths[i]) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
