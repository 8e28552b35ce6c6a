// Arbitrary bytes as a player project: refused or read, never a crash; what
// was read writes back as bytes that read and write again unchanged.
#include "platform/archive.h"
#include "platform/fileexception.h"
#include "runtime/projectfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArchiveReader archive(QByteArrayView(data, static_cast<qsizetype>(size)));
    try {
        const std::optional<runtime::PlayerProject> project = runtime::readProject(archive);
        if (!project) {
            return 0;
        }
        ArchiveWriter writer;
        runtime::writeProject(writer, *project);
        ArchiveReader again(writer.data());
        const std::optional<runtime::PlayerProject> reread = runtime::readProject(again);
        if (!reread || !again.atEnd()) {
            std::abort();
        }
        ArchiveWriter rewriter;
        runtime::writeProject(rewriter, *reread);
        if (rewriter.data() != writer.data()) {
            std::abort();
        }
    } catch (const FileException&) {
    }
    return 0;
}
