#include "slideshow/slideshowsettings.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"

#include <algorithm>

namespace {

namespace keys = prefs::slideshow;

int flag(qint32 value) {
    return value != 0 ? 1 : 0;
}

QString section() {
    return QString::fromLatin1(keys::kSection);
}

QString transitionSetKey(int entry) {
    return QString::fromLatin1(keys::kTransitionSetPrefix) + QString::number(entry);
}

}  // namespace

bool usesShowSound(SoundMode mode) {
    switch (mode) {
        case SoundMode::OneSoundLooped:
        case SoundMode::OneSound:
        case SoundMode::SameSoundForAllImages:
        case SoundMode::Midi:
        case SoundMode::MidiLooped:
        case SoundMode::SameSoundSynchronized:
            return true;
        default:
            return false;
    }
}

bool isMidiSoundMode(SoundMode mode) {
    return mode == SoundMode::Midi || mode == SoundMode::MidiLooped;
}

SoundMode playingSoundMode(SoundMode mode, bool soundSync) {
    if (!soundSync) {
        return mode;
    }
    if (mode == SoundMode::VariousSounds) {
        return SoundMode::VariousSoundsSynchronized;
    }
    if (mode == SoundMode::SameSoundForAllImages) {
        return SoundMode::SameSoundSynchronized;
    }
    return mode;
}

QList<qint32> SlideShowSettings::usedTransitions() const {
    const int used = std::clamp<int>(numberUsed, 0, kTransitionSetCapacity);
    return QList<qint32>(transitionSet.begin(), transitionSet.begin() + used);
}

void SlideShowSettings::setTransitionSet(const QList<qint32>& codes) {
    transitionSet.fill(0);
    numberUsed = 0;
    for (qint32 code : codes) {
        if (!appendToTransitionSet(code)) {
            break;
        }
    }
}

bool SlideShowSettings::appendToTransitionSet(qint32 code) {
    if (numberUsed < 0 || numberUsed >= kTransitionSetCapacity) {
        return false;
    }
    transitionSet[numberUsed++] = code;
    return true;
}

void readStoredShowSettings(const SettingsStore& store, SlideShowSettings& settings) {
    settings.transitions = store.read(keys::kTransition);
    settings.viewTime = store.read(keys::kDelay);
    settings.loop = store.read(keys::kLoop);
    settings.manualMode = store.read(keys::kManualMode);
    settings.advanced = store.read(keys::kAdvanced);
    settings.transitionMode = store.read(keys::kTransitionMode);
    // A hand-edited store must not push the set past its capacity.
    const int used =
        std::clamp(store.read(keys::kNumberUsed), 0, SlideShowSettings::kTransitionSetCapacity);
    QList<qint32> codes;
    codes.reserve(used);
    for (int entry = 0; entry < used; ++entry) {
        codes.append(
            store.readInt(section(), transitionSetKey(entry), keys::kTransitionSetFallback));
    }
    settings.setTransitionSet(codes);
    settings.soundSync = store.read(keys::kSoundSync);
    settings.soundMode = SoundMode::NoSound;
}

void storeShowSettings(SettingsStore& store, const SlideShowSettings& settings) {
    const QList<qint32> codes = settings.usedTransitions();
    store.write(keys::kNumberUsed, static_cast<int>(codes.size()));
    for (int entry = 0; entry < codes.size(); ++entry) {
        store.writeInt(section(), transitionSetKey(entry), codes.at(entry));
    }
    store.write(keys::kDelay, settings.viewTime);
    store.write(keys::kTransition, flag(settings.transitions));
    store.write(keys::kLoop, flag(settings.loop));
    store.write(keys::kAdvanced, flag(settings.advanced));
    store.write(keys::kTransitionMode, settings.transitionMode);
}

void storeEditorCheckBoxes(SettingsStore& store, const SlideShowSettings& settings) {
    store.write(keys::kManualMode, flag(settings.manualMode));
    store.write(keys::kLoop, flag(settings.loop));
    store.write(keys::kTransition, flag(settings.transitions));
}

void storeAdvancedOptions(SettingsStore& store, const SlideShowSettings& settings) {
    store.write(keys::kDelay, settings.viewTime);
    store.write(keys::kLoop, flag(settings.loop));
    store.write(keys::kManualMode, flag(settings.manualMode));
    store.write(keys::kSoundMode, static_cast<int>(settings.soundMode));
    store.write(keys::kSoundSync, flag(settings.soundSync));
}
