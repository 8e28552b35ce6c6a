#include "image/savetypestate.h"

#include "image/formats.h"

#include <QFileInfo>

namespace image {

int libraryDepth(int bitsPerPixel) {
    if (bitsPerPixel == 2 || bitsPerPixel == 3) {
        return 4;
    }
    if (bitsPerPixel >= 5 && bitsPerPixel <= 7) {
        return 8;
    }
    return bitsPerPixel;
}

SaveTypeState::SaveTypeState(int imageDepth) : m_imageDepth(imageDepth) {
    apply(1);
}

void SaveTypeState::apply(int typeIndex) {
    if (typeIndex < 1 || typeIndex > saveTypes().size()) {
        typeIndex = 1;
    }
    const SaveType& type = saveType(typeIndex);
    m_typeIndex = typeIndex;
    m_extension = type.extension;
    m_optionsEnabled = type.options;
    m_options.format = type.format;
    m_options.bitsPerPixel = saveDepth(type, m_imageDepth);
}

QString SaveTypeState::pathWithExtension(const QString& path) const {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    // A name ending in a dot gets no second one.
    return path.endsWith(QLatin1Char('.')) ? path + m_extension
                                           : path + QLatin1Char('.') + m_extension;
}

SaveChoice SaveTypeState::choice(const QString& path, const QString& folder) const {
    SaveChoice choice;
    choice.accepted = true;
    choice.path = pathWithExtension(path);
    choice.typeIndex = m_typeIndex;
    choice.folder = folder;
    choice.format = m_options.format;
    choice.bitsPerPixel = libraryDepth(m_options.bitsPerPixel);
    choice.qualityFactor = m_options.qualityFactor;
    choice.interlaced = m_options.interlaced;
    choice.progressive = m_options.progressive;
    return choice;
}

}  // namespace image
