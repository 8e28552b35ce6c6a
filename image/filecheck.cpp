#include "image/filecheck.h"

#include <QImageReader>

namespace image {

int fileCheck(const QString& path) {
    // TODO: ask the imaging library's file information and the enciphered
    // and second-library probes once they exist; Qt's readers stand in.
    QImageReader reader(path);
    return reader.canRead() ? 1 : 0;
}

}  // namespace image
