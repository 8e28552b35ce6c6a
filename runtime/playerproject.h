#pragma once

#include <QList>
#include <QString>

/// The runtime player's model: the options and the list of pictures with
/// their sounds and descriptions, shared by the creator, the project file
/// and the package. Plain values; any thread may hold its own copy.
namespace runtime {

/// A player holds at most this many pictures.
inline constexpr int kMaxImages = 1000;
/// The view time runs from 0 to this many seconds.
inline constexpr int kMaxViewTime = 99;
/// Packages and projects alike store the picture count with this added when
/// the transitions option is on, and the sound mode with this added when
/// the full-screen option is on.
inline constexpr int kTransitionsFlag = 10000;
inline constexpr int kFullScreenFlag = 128;

/// Sound modes, as the package header and the project store them. Modes 7
/// and 8 are 3 and 4 synchronised with the attached sounds; packages carry
/// them, the creator normally holds 3 or 4 with the synchronise option.
enum SoundMode : int {
    kNoSound = 0,
    kOneSoundLooped = 1,
    kOneSound = 2,
    kVariousSounds = 3,
    kSameSound = 4,
    kMidi = 5,
    kMidiLooped = 6,
    kVariousSoundsSynchronised = 7,
    kSameSoundSynchronised = 8,
};
inline constexpr int kMaxSoundMode = kSameSoundSynchronised;

/// The creator's options; the defaults are those of the "runtime" settings.
struct PlayerOptions {
    int viewTime = 2;  // seconds
    bool autoPlay = true;
    bool loop = false;
    bool fullScreen = false;
    bool transitions = false;
    bool descriptions = false;
    int soundMode = kNoSound;
    bool synchronise = false;
    bool encrypt = false;

    bool operator==(const PlayerOptions&) const = default;
};

/// One picture of a player.
struct PlayerImage {
    QString sourcePath;    // the picture the user chose
    QString preparedPath;  // its JPEG copy for the package
    QString soundPath;     // empty when none is attached
    QString description;   // empty when none

    bool operator==(const PlayerImage&) const = default;
};

struct PlayerProject {
    PlayerOptions options;
    QList<PlayerImage> images;

    bool operator==(const PlayerProject&) const = default;
};

/// The mode a package stores: 3 and 4 become 7 and 8 when synchronised.
int packageSoundMode(const PlayerOptions& options);
/// The creator's view of a package's mode: 7 and 8 become 3 and 4 with the
/// synchronise option set.
void setSoundModeFromPackage(PlayerOptions* options, int packageMode);
/// Whether picture `number` (from 1) may carry a sound in a package of
/// `packageMode`: every picture in the various-sounds modes, else the first.
bool mayCarrySound(int packageMode, int number);

}  // namespace runtime
