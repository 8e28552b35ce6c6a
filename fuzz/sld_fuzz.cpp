// Arbitrary bytes as a slide show file: refused or read, never a crash; what
// was read writes out and reads back to the same bytes.
#include "platform/archive.h"
#include "platform/fileexception.h"
#include "slideshow/slideshowfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray rewrite(const SlideShow& show) {
    ArchiveWriter writer;
    writeSlideShow(writer, show, SlideShowWriter::AdvancedOptions);
    return writer.take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArchiveReader archive(QByteArrayView(data, static_cast<qsizetype>(size)));
    SlideShow show;
    SlideShowFileInfo info;
    try {
        if (!readSlideShow(archive, show, &info)) {
            return 0;
        }
    } catch (const FileException&) {
        return 0;
    }
    // Text the file held in a form the writer does not produce (Windows-1252,
    // UTF-16) settles after one rewrite; from then on the layout is stable.
    const QByteArray first = rewrite(show);
    SlideShow again;
    ArchiveReader reread(first);
    if (!readSlideShow(reread, again) || rewrite(again) != first) {
        std::abort();
    }
    return 0;
}
