#pragma once

#include "platform/colorref.h"

#include <QList>

#include <array>

class SettingsStore;

/// How a show plays sound. The advanced options' buttons carry the same
/// numbers; 7 and 8 exist only while a show plays with "soundsync" on.
enum class SoundMode : qint32 {
    NoSound = 0,
    OneSoundLooped = 1,             // slide 0's sound looped for the whole show
    OneSound = 2,                   // slide 0's sound once as the show starts
    VariousSounds = 3,              // each slide's own sound
    SameSoundForAllImages = 4,      // slide 0's sound again at every slide
    Midi = 5,                       // slide 0's sound is a MIDI file, played once
    MidiLooped = 6,                 // slide 0's MIDI file, restarted when it ends
    VariousSoundsSynchronized = 7,  // 3 where a slide stays until its sound ends
    SameSoundSynchronized = 8,      // 4 with the same wait
};

/// True for the modes whose one sound is slide 0's sound path.
bool usesShowSound(SoundMode mode);
bool isMidiSoundMode(SoundMode mode);
/// The mode a show plays in: 3 and 4 become 7 and 8 under "soundsync".
SoundMode playingSoundMode(SoundMode mode, bool soundSync);

/// The show-wide values of a slide show. Fields hold what files and the
/// settings store hold: 32-bit values, flags as 0 or 1.
struct SlideShowSettings {
    static constexpr int kTransitionSetCapacity = 115;
    /// Indexed by transition code 0 to 114.
    static constexpr int kLegacyTableSize = 115;

    qint32 loop = 1;
    qint32 manualMode = 0;
    /// Use Transitions: 0 off, 1 on (files store on as 2).
    qint32 transitions = 1;
    /// Seconds each slide stays up, 1 to 99.
    qint32 viewTime = 3;
    ColorRef backgroundColour = 0xFFFFFF;
    qint32 advanced = 1;
    SoundMode soundMode = SoundMode::NoSound;
    /// Each slide carries its own transition code.
    qint32 individual = 0;
    /// The codes the player draws from when individual is 0; entries from
    /// numberUsed on are 0 unless an older, longer set left them.
    std::array<qint32, kTransitionSetCapacity> transitionSet{};
    qint32 numberUsed = 0;
    /// 0 takes the set in order, 1 at random.
    qint32 transitionMode = 0;
    /// Wait for each slide's sound to end; kept in the settings store only.
    qint32 soundSync = 0;
    /// On/off values of files whose transitions field is not 2.
    std::array<qint32, kLegacyTableSize> legacyTransitionTable{};

    /// The first numberUsed codes of the set.
    QList<qint32> usedTransitions() const;
    /// Makes `codes` (at most the capacity; more are dropped) the whole set,
    /// clearing the entries after it.
    void setTransitionSet(const QList<qint32>& codes);
    /// False when the set is full.
    bool appendToTransitionSet(qint32 code);

    bool operator==(const SlideShowSettings&) const = default;
};

/// Reads what the slide show command starts from in section "slideshow":
/// "transition", "delay", "loop", "manualMode", "advanced",
/// "transitionMode", "numberUsed" with its "tn" keys, and "soundsync". The
/// sound mode starts at 0. A stored numberUsed outside 0 to the set's
/// capacity is brought within it.
void readStoredShowSettings(const SettingsStore& store, SlideShowSettings& settings);

/// Writes back what the slide show command keeps once the editor has run:
/// "numberUsed", its "tn" keys, "delay", "transition", "loop", "advanced"
/// and "transitionMode".
void storeShowSettings(SettingsStore& store, const SlideShowSettings& settings);

/// The step both directions of the editor's .sld operation take before the
/// file is touched: Manual Mode, Loop and Use Transitions as 0 or 1 in
/// "manualMode", "loop" and "transition".
void storeEditorCheckBoxes(SettingsStore& store, const SlideShowSettings& settings);

/// What the advanced options leave behind: "delay", "loop", "manualMode",
/// "soundmode" and "soundsync".
void storeAdvancedOptions(SettingsStore& store, const SlideShowSettings& settings);
