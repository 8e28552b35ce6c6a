#include "slideshow/slideshowfile.h"

#include "platform/archive.h"
#include "platform/atomicfile.h"
#include "platform/fileexception.h"

#include <QFile>

#include <algorithm>

namespace {

// The transitions field as files store it.
constexpr qint32 kTransitionsOff = 0;
constexpr qint32 kTransitionsOnOlder = 1;
constexpr qint32 kTransitionsOn = 2;

// Files carry table positions 0 to 112.
constexpr int kStoredLegacyValues = 113;
// The first code the legacy table can switch on; 0 and 1 are not transitions.
constexpr int kFirstLegacyCode = 2;

// Every slide record holds two strings of at least one length byte each.
constexpr qint64 kMinSlideRecordSize = 2;
constexpr qint64 kCodeSize = 4;

// Ten thousand slides with two paths of the longest the file system allows
// stay well below this; anything larger is not a slide show.
constexpr qint64 kMaxFileSize = qint64(128) << 20;

qint32 flag(qint32 value) {
    return value != 0 ? 1 : 0;
}

void readLegacyTable(ArchiveReader& archive, SlideShowSettings& settings, SlideShowFileInfo* info) {
    archive.require(kStoredLegacyValues * kCodeSize);
    settings.numberUsed = 0;
    settings.transitionMode = 0;
    settings.transitionSet.fill(0);
    for (int position = 0; position < kStoredLegacyValues; ++position) {
        const qint32 value = archive.readInt32();
        settings.legacyTransitionTable[position] = value;
        if (info) {
            info->legacyTable.append(value);
        }
        if (position >= kFirstLegacyCode && value != 0) {
            settings.appendToTransitionSet(position);
        }
    }
}

void readTransitionBlock(ArchiveReader& archive, SlideShow& show) {
    SlideShowSettings& settings = show.settings;
    settings.individual = flag(archive.readInt32());
    if (settings.individual == 0) {
        const qint32 used = archive.readInt32();
        if (used < 0 || used > SlideShowSettings::kTransitionSetCapacity) {
            archive.fail();
        }
        archive.require((used + 1) * kCodeSize);
        settings.transitionSet.fill(0);
        settings.numberUsed = used;
        for (int entry = 0; entry < used; ++entry) {
            settings.transitionSet[entry] = archive.readInt32();
        }
        settings.transitionMode = archive.readInt32();
        return;
    }
    archive.require(show.slides.count() * kCodeSize);
    for (int slot = 0; slot < show.slides.count(); ++slot) {
        show.slides[slot].transitionCode = archive.readInt32();
    }
}

bool hasSignature(QByteArrayView data) {
    try {
        ArchiveReader archive(data);
        return archive.readString() == QLatin1String(kSlideShowSignature);
    } catch (const FileException&) {
        return false;
    }
}

}  // namespace

bool readSlideShow(ArchiveReader& archive, SlideShow& show, SlideShowFileInfo* info) {
    show.slides.clear();
    if (archive.readString() != QLatin1String(kSlideShowSignature)) {
        return false;
    }

    const qint32 count = archive.readInt32();
    if (count < 0 || count > SlideList::kCapacity) {
        archive.fail();
    }
    SlideShowSettings& settings = show.settings;
    settings.loop = archive.readInt32();
    settings.manualMode = archive.readInt32();
    const qint32 transitions = archive.readInt32();
    if (transitions != kTransitionsOff && transitions != kTransitionsOnOlder &&
        transitions != kTransitionsOn) {
        archive.fail();
    }
    settings.transitions = transitions == kTransitionsOff ? 0 : 1;
    settings.viewTime = archive.readInt32();
    settings.backgroundColour = archive.readUInt32();
    settings.advanced = archive.readInt32();
    settings.soundMode = static_cast<SoundMode>(archive.readInt32());
    if (info) {
        *info = SlideShowFileInfo{};
        info->transitionsField = transitions;
    }

    archive.require(count * kMinSlideRecordSize);
    for (int slot = 0; slot < count; ++slot) {
        SlideEntry slide;
        slide.imagePath = archive.readString();
        slide.soundPath = archive.readString();
        show.slides.append(std::move(slide));
    }

    if (transitions == kTransitionsOn) {
        readTransitionBlock(archive, show);
    } else {
        readLegacyTable(archive, settings, info);
    }
    if (info) {
        info->transitionBlockEnd = archive.position();
        info->trailingBytes = archive.remaining();
        // The advanced options' writer adds transitionMode after per-slide
        // codes; the reader stops before it, so both writers' files read
        // the same.
        if (transitions == kTransitionsOn && settings.individual != 0 &&
            archive.remaining() >= kCodeSize) {
            info->transitionModeAfterCodes = archive.readInt32();
        }
    }
    return true;
}

void writeSlideShow(ArchiveWriter& archive, const SlideShow& show, SlideShowWriter writer) {
    const SlideShowSettings& settings = show.settings;
    const bool advancedWriter = writer == SlideShowWriter::AdvancedOptions;
    const bool transitionsOn = settings.transitions != 0;

    archive.writeString(QLatin1String(kSlideShowSignature));
    archive.writeInt32(show.slides.count());
    archive.writeInt32(settings.loop);
    archive.writeInt32(settings.manualMode);
    archive.writeInt32(transitionsOn ? kTransitionsOn : kTransitionsOff);
    archive.writeInt32(settings.viewTime);
    archive.writeUInt32(settings.backgroundColour);
    archive.writeInt32(advancedWriter ? 1 : settings.advanced);
    archive.writeInt32(static_cast<qint32>(settings.soundMode));

    for (const SlideEntry& slide : show.slides) {
        archive.writeString(slide.imagePath);
        archive.writeString(advancedWriter ? slide.soundPath : QString());
    }

    if (!transitionsOn) {
        // Stored position k is the entry of code k, as the reader keeps it,
        // so a table read from a file goes back where it came from.
        for (int position = 0; position < kStoredLegacyValues; ++position) {
            archive.writeInt32(settings.legacyTransitionTable[position]);
        }
        return;
    }
    archive.writeInt32(flag(settings.individual));
    if (settings.individual == 0) {
        const QList<qint32> codes = settings.usedTransitions();
        archive.writeInt32(static_cast<qint32>(codes.size()));
        for (qint32 code : codes) {
            archive.writeInt32(code);
        }
        archive.writeInt32(settings.transitionMode);
        return;
    }
    for (const SlideEntry& slide : show.slides) {
        archive.writeInt32(slide.transitionCode);
    }
    if (advancedWriter) {
        archive.writeInt32(settings.transitionMode);
    }
}

QString invalidSlideShowMessage(const QString& path) {
    return QStringLiteral("Not a valid slide show file: %1").arg(path);
}

QString unableToSaveSlideShowMessage() {
    return QStringLiteral("Error: Unable to save file");
}

SlideShowLoadResult loadSlideShowFile(const QString& path, SlideShow& show) {
    SlideShowLoadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = SlideShowLoadResult::Status::NotOpened;
        return result;
    }
    result.status = SlideShowLoadResult::Status::Invalid;
    result.message = invalidSlideShowMessage(path);
    if (file.size() > kMaxFileSize) {
        return result;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = SlideShowLoadResult::Status::NotOpened;
        result.message.clear();
        return result;
    }

    SlideShow fresh = show;
    try {
        ArchiveReader archive(data, path);
        result.signatureMatched = readSlideShow(archive, fresh);
    } catch (const FileException&) {
        result.signatureMatched = hasSignature(data);
        return result;
    }
    if (!result.signatureMatched) {
        return result;
    }
    show = std::move(fresh);
    result.status = SlideShowLoadResult::Status::Loaded;
    result.message.clear();
    return result;
}

bool saveSlideShowFile(const QString& path, SlideShow& show, SlideShowWriter writer,
                       QString* error) {
    ArchiveWriter archive;
    writeSlideShow(archive, show, writer);
    if (!writeFileAtomically(path, archive.data(), error)) {
        return false;
    }
    if (writer == SlideShowWriter::Editor) {
        show.slides.clearSoundPaths();
    }
    return true;
}

SlideShowLoadResult editorLoadSlideShow(SettingsStore& store, const QString& path,
                                        SlideShow& show) {
    storeEditorCheckBoxes(store, show.settings);
    return loadSlideShowFile(path, show);
}

bool editorSaveSlideShow(SettingsStore& store, const QString& path, SlideShow& show,
                         QString* error) {
    storeEditorCheckBoxes(store, show.settings);
    return saveSlideShowFile(path, show, SlideShowWriter::Editor, error);
}
