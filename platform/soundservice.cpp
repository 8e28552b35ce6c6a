#include "platform/soundservice.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <algorithm>

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

namespace {

constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;
constexpr int kBufferFrames = 1024;
// Waves play on one mixer channel, so a new wave replaces the one playing.
constexpr int kWaveChannel = 0;
// A synchronous wave that has not ended this long after its length is stopped, so a stalled
// device cannot hang the interface thread.
constexpr qint64 kSyncGraceMs = 2000;

quint32 littleEndian32(const QByteArray& bytes, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint32 bigEndian32(const QByteArray& bytes, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + at;
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

quint16 bigEndian16(const QByteArray& bytes, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + at;
    return quint16(p[0] << 8 | p[1]);
}

bool hasTag(const QByteArray& bytes, qsizetype at, const char* tag) {
    return bytes.size() - at >= 4 && bytes.mid(at, 4) == QByteArray(tag, 4);
}

/// One chunk of a RIFF file: where its contents start and how long they are.
struct RiffChunk {
    qsizetype offset = 0;
    qsizetype length = 0;
};

/// Walks the chunks of a RIFF file of the given form ("WAVE", "RMID") and finds the named ones.
/// Fails when a chunk claims more bytes than the file has left before all were found.
bool findRiffChunks(const QByteArray& bytes, const char* form, const char* const* names,
                    RiffChunk* found, int count, QString* error) {
    if (!hasTag(bytes, 0, "RIFF") || !hasTag(bytes, 8, form)) {
        *error = QStringLiteral("not a RIFF %1 file").arg(QLatin1String(form, 4));
        return false;
    }
    int missing = count;
    qsizetype at = 12;
    while (missing > 0 && bytes.size() - at >= 8) {
        const qsizetype length = littleEndian32(bytes, at + 4);
        const qsizetype left = bytes.size() - at - 8;
        if (length > left) {
            QString name = QString::fromLatin1(bytes.mid(at, 4));
            for (QChar& c : name) {
                if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
                    c = QLatin1Char('?');
                }
            }
            *error = QStringLiteral("the chunk \"%1\" claims %2 bytes, only %3 are left")
                         .arg(name)
                         .arg(length)
                         .arg(left);
            return false;
        }
        for (int i = 0; i < count; ++i) {
            if (found[i].offset == 0 && hasTag(bytes, at, names[i])) {
                found[i] = {at + 8, length};
                --missing;
            }
        }
        at += 8 + length + (length & 1);  // chunks are padded to even lengths
    }
    for (int i = 0; i < count; ++i) {
        if (found[i].offset == 0) {
            *error = QStringLiteral("no \"%1\" chunk").arg(QLatin1String(names[i], 4));
            return false;
        }
    }
    return true;
}

/// SDL reads the wave itself; this only makes sure its chunks fit the file, so a damaged header
/// cannot make it allocate what the file does not hold.
bool checkWave(const QByteArray& bytes, QString* error) {
    static const char* const names[] = {"fmt ", "data"};
    RiffChunk chunks[2];
    if (!findRiffChunks(bytes, "WAVE", names, chunks, 2, error)) {
        return false;
    }
    if (chunks[0].length < 16) {
        *error = QStringLiteral("the format chunk is too short");
        return false;
    }
    return true;
}

/// A standard MIDI file ready for the decoder, and how long its sequence lasts.
struct MidiFile {
    QByteArray bytes;
    qint64 milliseconds = 0;
};

struct TempoChange {
    qint64 tick = 0;
    quint32 microsecondsPerQuarter = 0;
};

bool readVariableLength(const QByteArray& smf, qsizetype* at, qsizetype end, quint32* value) {
    *value = 0;
    for (int i = 0; i < 4 && *at < end; ++i) {
        const uchar byte = uchar(smf[(*at)++]);
        *value = *value << 7 | (byte & 0x7f);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return false;  // cut off, or longer than the four bytes the format allows
}

/// Walks the events of the track in [at, end): the tick of its last event, and its tempo changes
/// appended to `tempi`. False when an event does not fit the track.
bool scanTrack(const QByteArray& smf, qsizetype at, qsizetype end, qint64* lastTick,
               QList<TempoChange>* tempi) {
    qint64 tick = 0;
    int running = 0;
    while (at < end) {
        quint32 delta = 0;
        if (!readVariableLength(smf, &at, end, &delta) || at >= end) {
            return false;
        }
        tick += delta;
        int status = uchar(smf[at]);
        if (status & 0x80) {
            ++at;
        } else if (running != 0) {
            status = running;
        } else {
            return false;  // data byte with no status before it
        }
        if (status == 0xff || status == 0xf0 || status == 0xf7) {
            int type = 0;
            if (status == 0xff) {
                if (at >= end) {
                    return false;
                }
                type = uchar(smf[at++]);
            }
            quint32 length = 0;
            if (!readVariableLength(smf, &at, end, &length) || length > quint64(end - at)) {
                return false;
            }
            if (status == 0xff && type == 0x51 && length == 3) {
                tempi->append({tick, quint32(uchar(smf[at])) << 16 |
                                         quint32(uchar(smf[at + 1])) << 8 | uchar(smf[at + 2])});
            }
            at += length;
            if (status == 0xff && type == 0x2f) {
                break;  // end of track; anything after it is ignored
            }
        } else if (status >= 0xf0) {
            return false;  // system common and real-time messages have no place in a file
        } else {
            running = status;
            const int kind = status & 0xf0;
            const qsizetype dataBytes = kind == 0xc0 || kind == 0xd0 ? 1 : 2;
            if (end - at < dataBytes) {
                return false;
            }
            at += dataBytes;
        }
    }
    *lastTick = tick;
    return true;
}

/// The length in milliseconds of `ticks` under the file's time division and tempo changes.
qint64 sequenceMilliseconds(int division, qint64 ticks, QList<TempoChange> tempi) {
    if (division & 0x8000) {
        // Time code: frames a second in the negated high byte, ticks per frame in the low one.
        const int framesPerSecond = -qint8(division >> 8);
        const int ticksPerFrame = division & 0xff;
        if (framesPerSecond <= 0 || ticksPerFrame == 0) {
            return 0;
        }
        return qint64(double(ticks) * 1000 / (framesPerSecond * ticksPerFrame));
    }
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    double microseconds = 0;
    qint64 tick = 0;
    double tempo = 500000;  // 120 beats a minute until the file says otherwise
    for (const TempoChange& change : tempi) {
        if (change.tick >= ticks) {
            break;
        }
        microseconds += double(change.tick - tick) * tempo / division;
        tick = change.tick;
        tempo = change.microsecondsPerQuarter;
    }
    microseconds += double(ticks - tick) * tempo / division;
    return qint64(microseconds / 1000);
}

/// A standard MIDI file, or the one inside a RIFF MIDI ("RMID") file. Every chunk and event must
/// fit the file; the sequence lasts until the last event of its longest track.
bool readMidi(const QByteArray& bytes, MidiFile* midi, QString* error) {
    QByteArray smf = bytes;
    if (hasTag(bytes, 0, "RIFF")) {
        static const char* const names[] = {"data"};
        RiffChunk data;
        if (!findRiffChunks(bytes, "RMID", names, &data, 1, error)) {
            return false;
        }
        smf = bytes.mid(data.offset, data.length);
    }
    if (!hasTag(smf, 0, "MThd") || smf.size() < 14) {
        *error = QStringLiteral("not a MIDI file");
        return false;
    }
    const qsizetype headerLength = bigEndian32(smf, 4);
    if (headerLength < 6 || headerLength > smf.size() - 8) {
        *error = QStringLiteral("the MIDI header claims %1 bytes").arg(headerLength);
        return false;
    }
    const int format = bigEndian16(smf, 8);
    const int tracks = bigEndian16(smf, 10);
    const int division = bigEndian16(smf, 12);
    if (format > 2 || tracks == 0 || division == 0) {
        *error = QStringLiteral("the MIDI header is damaged");
        return false;
    }
    qsizetype at = 8 + headerLength;
    qint64 endTick = 0;
    QList<TempoChange> tempi;
    for (int track = 0; track < tracks;) {
        if (smf.size() - at < 8) {
            *error = QStringLiteral("the MIDI file ends before track %1 of %2")
                         .arg(track + 1)
                         .arg(tracks);
            return false;
        }
        const qsizetype length = bigEndian32(smf, at + 4);
        if (length > smf.size() - at - 8) {
            *error = QStringLiteral("a MIDI chunk claims %1 bytes, only %2 are left")
                         .arg(length)
                         .arg(smf.size() - at - 8);
            return false;
        }
        if (hasTag(smf, at, "MTrk")) {  // other chunks are skipped, as the format allows
            qint64 lastTick = 0;
            if (!scanTrack(smf, at + 8, at + 8 + length, &lastTick, &tempi)) {
                *error = QStringLiteral("track %1 of the MIDI file is damaged").arg(track + 1);
                return false;
            }
            endTick = std::max(endTick, lastTick);
            ++track;
        }
        at += 8 + length;
    }
    midi->bytes = smf;
    midi->milliseconds = sequenceMilliseconds(division, endTick, tempi);
    return true;
}

/// Reads a whole file no larger than `limit`, which is checked before anything is read.
bool readSmallFile(const QString& path, qint64 limit, QByteArray* bytes, QString* error) {
    // Only regular files: opening a pipe or a device could block or never end.
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("%1: no such file").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    if (size > limit) {
        *error = QStringLiteral("%1: %2 bytes is more than the %3 a sound may have")
                     .arg(path)
                     .arg(size)
                     .arg(limit);
        return false;
    }
    *bytes = file.read(size);
    if (bytes->size() != size) {
        *error = QStringLiteral("%1: cannot be read whole: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QString sdlError() {
    return QString::fromUtf8(Mix_GetError());
}

}  // namespace

struct SoundService::Private {
    bool audioOpen = false;
    bool audioFailed = false;
    int frequency = 0;
    int channels = 0;
    int bytesPerSample = 0;
    Mix_Chunk* wave = nullptr;
    Mix_Music* midi = nullptr;
    // The MIDI decoder is handed these bytes; they outlive the Mix_Music made from them.
    QByteArray midiBytes;
    // The decoder goes on "playing" while the last notes fade, two seconds or more; the sequence
    // itself has ended when its length has passed since it was started.
    qint64 midiMilliseconds = 0;
    bool midiLooped = false;
    QElapsedTimer midiClock;
    QStringList soundFonts = defaultSoundFonts();
    QString error;

    bool fail(const QString& why) {
        error = why;
        return false;
    }

    bool openAudio() {
        if (audioOpen) {
            return true;
        }
        if (audioFailed) {
            return false;  // tried once already; error still says why
        }
        // Qt handles the program's signals; SDL must not turn Ctrl+C into an event nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Pixoria");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            audioFailed = true;
            return fail(QStringLiteral("no audio: %1").arg(QString::fromUtf8(SDL_GetError())));
        }
        // Only MIDI needs a decoder library; waves play without one, so a failure here is not
        // fatal.
        Mix_Init(MIX_INIT_MID);
        if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, kOutputChannels, kBufferFrames) != 0) {
            const QString why = QStringLiteral("no audio device: %1").arg(sdlError());
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            audioFailed = true;
            return fail(why);
        }
        Uint16 format = 0;
        Mix_QuerySpec(&frequency, &format, &channels);
        bytesPerSample = SDL_AUDIO_BITSIZE(format) / 8;
        Mix_AllocateChannels(1);
        audioOpen = true;
        return true;
    }

    void freeWave() {
        if (wave != nullptr) {
            Mix_HaltChannel(kWaveChannel);
            Mix_FreeChunk(wave);
            wave = nullptr;
        }
    }

    void freeMidi() {
        if (midi != nullptr) {
            Mix_HaltMusic();
            Mix_FreeMusic(midi);
            midi = nullptr;
        }
        midiBytes.clear();
    }

    qint64 milliseconds(const Mix_Chunk* chunk) const {
        const qint64 bytesPerSecond = qint64(frequency) * channels * bytesPerSample;
        return bytesPerSecond > 0 ? qint64(chunk->alen) * 1000 / bytesPerSecond : 0;
    }

    void waitForWaveEnd() {
        const qint64 limit = milliseconds(wave) + kSyncGraceMs;
        QElapsedTimer timer;
        timer.start();
        while (Mix_Playing(kWaveChannel) != 0) {
            if (timer.elapsed() > limit) {
                Mix_HaltChannel(kWaveChannel);
                break;
            }
            SDL_Delay(5);
        }
        // The channel ends when its last samples are mixed; the device still has to play that
        // buffer.
        if (frequency > 0) {
            SDL_Delay(Uint32(kBufferFrames * 1000 / frequency + 1));
        }
    }
};

SoundService::SoundService() : d(std::make_unique<Private>()) {}

SoundService::~SoundService() {
    shutdown();
}

SoundService& SoundService::instance() {
    static SoundService service;
    return service;
}

bool SoundService::playWave(const QString& path, WaveMode mode) {
    QByteArray bytes;
    QString why;
    if (!readSmallFile(path, kMaxWaveBytes, &bytes, &why)) {
        return d->fail(why);
    }
    if (!checkWave(bytes, &why)) {
        return d->fail(QStringLiteral("%1: %2").arg(path, why));
    }
    if (!d->openAudio()) {
        return false;
    }
    // Loaded whole and converted to the device's format; the bytes are not needed afterwards.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.constData(), int(bytes.size())), 1);
    if (chunk == nullptr) {
        return d->fail(QStringLiteral("%1: %2").arg(path, sdlError()));
    }
    d->freeWave();
    d->wave = chunk;
    if (Mix_PlayChannel(kWaveChannel, chunk, mode == WaveMode::Looped ? -1 : 0) < 0) {
        const QString playError = sdlError();
        d->freeWave();
        return d->fail(QStringLiteral("%1: %2").arg(path, playError));
    }
    if (mode == WaveMode::Sync) {
        d->waitForWaveEnd();
    }
    return true;
}

void SoundService::stopWave() {
    d->freeWave();
}

bool SoundService::wavePlaying() const {
    return d->wave != nullptr && Mix_Playing(kWaveChannel) != 0;
}

bool SoundService::openMidi(const QString& path) {
    closeMidi();
    QByteArray bytes;
    MidiFile midi;
    QString why;
    if (!readSmallFile(path, kMaxMidiBytes, &bytes, &why)) {
        return d->fail(why);
    }
    if (!readMidi(bytes, &midi, &why)) {
        return d->fail(QStringLiteral("%1: %2").arg(path, why));
    }
    const QString font = soundFont();
    if (font.isEmpty()) {
        return d->fail(QStringLiteral("no General MIDI soundfont is installed"));
    }
    if (!d->openAudio()) {
        return false;
    }
    Mix_SetSoundFonts(QFile::encodeName(font).constData());
    d->midiBytes = midi.bytes;
    d->midiMilliseconds = midi.milliseconds;
    d->midi = Mix_LoadMUSType_RW(
        SDL_RWFromConstMem(d->midiBytes.constData(), int(d->midiBytes.size())), MUS_MID, 1);
    if (d->midi == nullptr) {
        d->midiBytes.clear();
        return d->fail(QStringLiteral("%1: %2").arg(path, sdlError()));
    }
    return true;
}

bool SoundService::playMidi(bool looped) {
    if (d->midi == nullptr) {
        return d->fail(QStringLiteral("no MIDI file is open"));
    }
    // Mix_PlayMusic counts plays, not repeats: 1 is once.
    if (Mix_PlayMusic(d->midi, looped ? -1 : 1) != 0) {
        return d->fail(sdlError());
    }
    d->midiLooped = looped;
    d->midiClock.start();
    return true;
}

void SoundService::stopMidi() {
    if (d->midi != nullptr) {
        Mix_HaltMusic();
    }
}

void SoundService::closeMidi() {
    d->freeMidi();
}

bool SoundService::isMidiPlaying() const {
    if (d->midi == nullptr || Mix_PlayingMusic() == 0) {
        return false;
    }
    return d->midiLooped || d->midiClock.elapsed() < d->midiMilliseconds;
}

QString SoundService::unableToPlayMidiMessage() {
    return QStringLiteral("Unable To Play Midi File");
}

QString SoundService::lastError() const {
    return d->error;
}

QStringList SoundService::defaultSoundFonts() {
    return {QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/default.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2")};
}

void SoundService::setSoundFontCandidates(const QStringList& paths) {
    d->soundFonts = paths;
}

QString SoundService::soundFont() const {
    for (const QString& path : d->soundFonts) {
        const QFileInfo info(path);
        const QString file = info.canonicalFilePath();
        // SDL_mixer takes a list separated by semicolons; such a name cannot be passed.
        if (info.isFile() && info.isReadable() && !file.contains(QLatin1Char(';'))) {
            return file;
        }
    }
    return {};
}

void SoundService::shutdown() {
    if (d->audioOpen) {
        d->freeWave();
        d->freeMidi();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        d->audioOpen = false;
    }
    d->audioFailed = false;
}
