#include "slideshow/slideshowsettings.h"

#include "app/settingsstore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

namespace keys = prefs::slideshow;

const QString kSection = QStringLiteral("slideshow");

TEST(SoundModes, OneSoundModesUseSlideZeroAndSynchronisationDerivesSevenAndEight) {
    using enum SoundMode;
    for (SoundMode mode : {OneSoundLooped, OneSound, SameSoundForAllImages, Midi, MidiLooped,
                           SameSoundSynchronized}) {
        EXPECT_TRUE(usesShowSound(mode)) << int(mode);
    }
    for (SoundMode mode : {NoSound, VariousSounds, VariousSoundsSynchronized}) {
        EXPECT_FALSE(usesShowSound(mode)) << int(mode);
    }
    EXPECT_TRUE(isMidiSoundMode(Midi));
    EXPECT_FALSE(isMidiSoundMode(OneSound));
    EXPECT_EQ(playingSoundMode(VariousSounds, true), VariousSoundsSynchronized);
    EXPECT_EQ(playingSoundMode(SameSoundForAllImages, true), SameSoundSynchronized);
    EXPECT_EQ(playingSoundMode(VariousSounds, false), VariousSounds);
    EXPECT_EQ(playingSoundMode(Midi, true), Midi);
}

TEST(SlideShowSettings, TheSetHoldsAtMost115CodesAndClearsItsTail) {
    SlideShowSettings settings;
    QList<qint32> many;
    for (int i = 0; i < 120; ++i) {
        many.append(i + 2);
    }
    settings.setTransitionSet(many);
    EXPECT_EQ(settings.numberUsed, 115);
    EXPECT_FALSE(settings.appendToTransitionSet(3));
    settings.setTransitionSet({7, 8});
    EXPECT_EQ(settings.usedTransitions(), (QList<qint32>{7, 8}));
    EXPECT_EQ(settings.transitionSet[2], 0);
    EXPECT_EQ(settings.transitionSet[114], 0);
}

TEST(SlideShowSettings, ReadFromTheStoreWithItsDefaultsAndWrittenBack) {
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("Pixoria.conf")));

    SlideShowSettings settings;
    settings.soundMode = SoundMode::Midi;
    readStoredShowSettings(store, settings);
    EXPECT_EQ(settings.transitions, 1);
    EXPECT_EQ(settings.viewTime, 3);
    EXPECT_EQ(settings.loop, 1);
    EXPECT_EQ(settings.manualMode, 0);
    EXPECT_EQ(settings.advanced, 1);
    EXPECT_EQ(settings.transitionMode, 0);
    EXPECT_EQ(settings.numberUsed, 0);
    EXPECT_EQ(settings.soundSync, 0);
    EXPECT_EQ(settings.soundMode, SoundMode::NoSound);

    // A missing "tn" key reads as 1, "no picture".
    store.write(keys::kNumberUsed, 3);
    store.writeInt(kSection, QStringLiteral("tn0"), 44);
    store.writeInt(kSection, QStringLiteral("tn2"), 90);
    store.write(keys::kSoundSync, 1);
    readStoredShowSettings(store, settings);
    EXPECT_EQ(settings.usedTransitions(), (QList<qint32>{44, 1, 90}));
    EXPECT_EQ(settings.soundSync, 1);

    // A stored count beyond the set's capacity is held to it.
    store.write(keys::kNumberUsed, 100000);
    readStoredShowSettings(store, settings);
    EXPECT_EQ(settings.numberUsed, 115);
    store.write(keys::kNumberUsed, -4);
    readStoredShowSettings(store, settings);
    EXPECT_EQ(settings.numberUsed, 0);

    settings.setTransitionSet({5, 6});
    settings.viewTime = 12;
    settings.transitions = 0;
    settings.loop = 0;
    settings.advanced = 0;
    settings.transitionMode = 1;
    storeShowSettings(store, settings);
    SlideShowSettings again;
    readStoredShowSettings(store, again);
    EXPECT_EQ(again.usedTransitions(), (QList<qint32>{5, 6}));
    EXPECT_EQ(again.viewTime, 12);
    EXPECT_EQ(again.transitions, 0);
    EXPECT_EQ(again.loop, 0);
    EXPECT_EQ(again.advanced, 0);
    EXPECT_EQ(again.transitionMode, 1);

    settings.soundMode = SoundMode::SameSoundForAllImages;
    settings.soundSync = 1;
    settings.manualMode = 1;
    settings.viewTime = 8;
    storeAdvancedOptions(store, settings);
    EXPECT_EQ(store.read(keys::kSoundMode), 4);
    EXPECT_EQ(store.read(keys::kSoundSync), 1);
    EXPECT_EQ(store.read(keys::kManualMode), 1);
    EXPECT_EQ(store.read(keys::kDelay), 8);
}

}  // namespace
