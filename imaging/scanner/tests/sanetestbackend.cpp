#include "sanetestbackend.h"

#include <QFile>
#include <QTemporaryDir>

#include <dlfcn.h>

namespace {

bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

}  // namespace

// SANE's test backend leaks the 64 KiB transfer buffer of each scan's reader
// thread. Only that module's allocations are excused; it stays loaded (see
// below) so the reports can name it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libsane-test.so\n";
}

SaneTestBackend::SaneTestBackend(bool withTestBackend) {
    // SANE unloads its backends at sane_exit; kept loaded, leak reports
    // still know which library a block came from.
    static void* const keepLoaded =
        dlopen(SANE_BACKEND_DIR "/libsane-test.so.1", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    Q_UNUSED(keepLoaded);

    static QTemporaryDir folder;
    if (!folder.isValid()) {
        return;
    }
    // Without test.conf the backend starts at a resolution of 50/65536 dpi.
    const bool written = writeFile(folder.filePath(QStringLiteral("dll.conf")),
                                   withTestBackend ? QByteArrayLiteral("test\n") : QByteArray()) &&
                         writeFile(folder.filePath(QStringLiteral("test.conf")),
                                   QByteArrayLiteral("number_of_devices 2\n"
                                                     "mode Gray\n"
                                                     "depth 8\n"
                                                     "resolution 50.0\n"
                                                     "test-picture \"Solid black\"\n"
                                                     "br_x 80.0\n"
                                                     "br_y 100.0\n"));
    if (!written) {
        return;
    }
    m_folder = folder.path();
    // No trailing colon: SANE would then also search the system's folders.
    qputenv("SANE_CONFIG_DIR", QFile::encodeName(m_folder));
}
