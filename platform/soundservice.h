#pragma once

#include <QString>
#include <QStringList>

#include <memory>

/// Plays wave and MIDI files through SDL2_mixer. One instance per program; interface thread only
/// (playback itself runs on SDL's audio thread). Opening the audio device is lazy: the first call
/// that needs it opens it; when no device can be opened every play call fails (returns false) and
/// nothing else happens.
class SoundService {
public:
    enum class WaveMode { Async, Looped, Sync };

    /// Files above these sizes are refused before anything is read.
    static constexpr qint64 kMaxWaveBytes = qint64(256) * 1024 * 1024;
    static constexpr qint64 kMaxMidiBytes = qint64(16) * 1024 * 1024;

    static SoundService& instance();

    SoundService(const SoundService&) = delete;
    SoundService& operator=(const SoundService&) = delete;

    /// Plays a wave file. Async returns at once; Looped repeats until stopWave(); Sync returns when
    /// the sound has ended (keeping the Qt event loop alive is not required; it may block). A new
    /// wave stops the one playing. False when the file cannot be read or played; a wave that is
    /// already playing goes on then.
    bool playWave(const QString& path, WaveMode mode = WaveMode::Async);
    void stopWave();
    bool wavePlaying() const;

    /// The MIDI sequencer: open a file, play it (from the start), stop, close; isMidiPlaying() says
    /// whether it still plays. openMidi closes a file already open. False on failure.
    /// A sequence played once has ended when its last event has passed, though its last notes may
    /// still be fading; a looped one plays until stopped.
    bool openMidi(const QString& path);
    bool playMidi(bool looped = false);
    void stopMidi();
    void closeMidi();
    bool isMidiPlaying() const;
    /// "Unable To Play Midi File"
    static QString unableToPlayMidiMessage();

    /// Why the last call that failed did so, for logs; the user sees the callers' own messages.
    QString lastError() const;

    /// The General MIDI soundfonts looked for, first present one wins: the system's choice
    /// (Debian's default-GM.sf2 alternative), then TimGM6mb and FluidR3_GM.
    static QStringList defaultSoundFonts();
    /// Replaces the soundfonts looked for; takes effect at the next openMidi().
    void setSoundFontCandidates(const QStringList& paths);
    /// The soundfont the next openMidi() uses; empty when none of the candidates exists, and then
    /// MIDI files cannot be played.
    QString soundFont() const;

    /// Stops everything and closes the audio device (called at exit; also safe to call twice).
    /// A later play call opens the device again.
    void shutdown();

private:
    SoundService();
    ~SoundService();

    struct Private;
    std::unique_ptr<Private> d;
};
