#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// One slide of a show: the picture, the sound that goes with it and the
/// transition it is drawn with when the show uses individual transitions.
struct SlideEntry {
    QString imagePath;
    /// A wave file, or for slide 0 under the MIDI sound modes a MIDI file.
    /// Slide 0's sound is also the show-wide sound of the single-sound modes.
    QString soundPath;
    /// 0 none, else a code of the transition catalogue.
    qint32 transitionCode = 0;

    bool operator==(const SlideEntry&) const = default;
};

/// The slides of a show in playing order, at most kCapacity of them. Slots
/// count from 0; the dialogs that edit one slide number them from 1 (see
/// slideNumber()). Interface thread only.
class SlideList {
public:
    static constexpr int kCapacity = 10000;

    int count() const { return static_cast<int>(m_slides.size()); }
    bool isEmpty() const { return m_slides.isEmpty(); }
    bool isFull() const { return count() >= kCapacity; }

    const SlideEntry& at(int slot) const { return m_slides.at(slot); }
    SlideEntry& operator[](int slot) { return m_slides[slot]; }
    /// Slide `number` of the dialogs, which count from 1.
    SlideEntry& slideNumber(int number) { return m_slides[number - 1]; }

    /// False, and nothing added, when the list is full.
    bool append(SlideEntry slide);
    bool append(const QString& imagePath) { return append(SlideEntry{imagePath, {}, 0}); }
    /// Inserts before `slot` (0 to count()); false when the list is full.
    bool insert(int slot, SlideEntry slide);
    void removeAt(int slot) { m_slides.removeAt(slot); }
    /// Moves the slide at `from` so that it ends up at `to`.
    void move(int from, int to) { m_slides.move(from, to); }
    void clear() { m_slides.clear(); }

    /// Empties every slide's sound path.
    void clearSoundPaths();
    QStringList imagePaths() const;
    /// The slot of the first slide showing `imagePath`, or -1.
    int indexOfImage(const QString& imagePath,
                     Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) const;

    const QList<SlideEntry>& entries() const { return m_slides; }
    QList<SlideEntry>::const_iterator begin() const { return m_slides.cbegin(); }
    QList<SlideEntry>::const_iterator end() const { return m_slides.cend(); }

    bool operator==(const SlideList&) const = default;

private:
    QList<SlideEntry> m_slides;
};
