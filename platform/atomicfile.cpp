#include "platform/atomicfile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& path, QByteArrayView data, QString* error) {
    QSaveFile file(path);
    // Unbuffered, so a failing write is seen by write() itself: a buffered
    // write that fails only when commit() flushes it can go unnoticed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    if (file.write(data.data(), data.size()) != data.size() || !file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        file.cancelWriting();
        return false;
    }
    return true;
}
