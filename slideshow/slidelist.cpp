#include "slideshow/slidelist.h"

bool SlideList::append(SlideEntry slide) {
    if (isFull()) {
        return false;
    }
    m_slides.append(std::move(slide));
    return true;
}

bool SlideList::insert(int slot, SlideEntry slide) {
    if (isFull()) {
        return false;
    }
    m_slides.insert(slot, std::move(slide));
    return true;
}

void SlideList::clearSoundPaths() {
    for (SlideEntry& slide : m_slides) {
        slide.soundPath.clear();
    }
}

QStringList SlideList::imagePaths() const {
    QStringList paths;
    paths.reserve(m_slides.size());
    for (const SlideEntry& slide : m_slides) {
        paths.append(slide.imagePath);
    }
    return paths;
}

int SlideList::indexOfImage(const QString& imagePath, Qt::CaseSensitivity sensitivity) const {
    for (int slot = 0; slot < count(); ++slot) {
        if (m_slides.at(slot).imagePath.compare(imagePath, sensitivity) == 0) {
            return slot;
        }
    }
    return -1;
}
