#include "platform/soundservice.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

SoundService& sound() {
    return SoundService::instance();
}

QByteArray littleEndian(quint32 value, int bytes) {
    QByteArray out;
    for (int i = 0; i < bytes; ++i) {
        out.append(char(value >> (8 * i) & 0xff));
    }
    return out;
}

QByteArray bigEndian(quint32 value, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) {
        out.append(char(value >> (8 * i) & 0xff));
    }
    return out;
}

/// A mono 16-bit PCM wave holding a sine at half of full scale.
QByteArray sineWave(double seconds, double frequency = 440, int rate = 22050) {
    QByteArray samples;
    const int count = int(seconds * rate);
    for (int i = 0; i < count; ++i) {
        const double value = 16000 * std::sin(2 * M_PI * frequency * i / rate);
        samples += littleEndian(quint16(qint16(std::lround(value))), 2);
    }
    QByteArray format = littleEndian(1, 2) + littleEndian(1, 2) + littleEndian(rate, 4) +
                        littleEndian(rate * 2, 4) + littleEndian(2, 2) + littleEndian(16, 2);
    QByteArray body = "WAVE" + QByteArray("fmt ") + littleEndian(16, 4) + format + "data" +
                      littleEndian(samples.size(), 4) + samples;
    return "RIFF" + littleEndian(body.size(), 4) + body;
}

/// The events of a track: a piano playing C, E and G, an eighth note each (48 ticks of 96 to the
/// quarter), so 0.75 seconds at the default 120 beats a minute. A tempo, when given, comes first.
QByteArray tune(quint32 microsecondsPerQuarter = 0) {
    QByteArray track;
    if (microsecondsPerQuarter != 0) {
        track += QByteArray::fromHex("00ff5103") + bigEndian(microsecondsPerQuarter, 3);
    }
    track += QByteArray::fromHex("00c000");  // program 0, acoustic grand
    for (int note : {60, 64, 67}) {
        track += QByteArray::fromHex("0090") + char(note) + char(100);
        track += QByteArray::fromHex("30") + char(note) + char(0);  // running status, velocity 0
    }
    return track + QByteArray::fromHex("00ff2f00");
}

/// A standard MIDI file of one track.
QByteArray midiFile(const QByteArray& track = tune()) {
    return "MThd" + bigEndian(6, 4) + bigEndian(0, 2) + bigEndian(1, 2) + bigEndian(96, 2) +
           "MTrk" + bigEndian(track.size(), 4) + track;
}

/// What the disk driver wrote: 16-bit samples, mono or with identical channels.
struct Recording {
    int loudSamples = 0;
    // Sign changes of the signal, ignoring samples too near zero to count; a sine of f Hz gives
    // 2f a second whatever the output rate and channel count.
    int zeroCrossings = 0;
};

Recording analyse(const QString& path) {
    QFile file(path);
    Recording recording;
    if (!file.open(QIODevice::ReadOnly)) {
        return recording;
    }
    const QByteArray bytes = file.readAll();
    int sign = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const int value = qint16(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8);
        if (std::abs(value) < 1000) {
            continue;
        }
        ++recording.loudSamples;
        const int now = value > 0 ? 1 : -1;
        if (sign != 0 && now != sign) {
            ++recording.zeroCrossings;
        }
        sign = now;
    }
    return recording;
}

bool waitUntil(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        QThread::msleep(10);
    }
    return true;
}

/// Each test opens the device afresh on SDL's disk driver, which writes the mixed output to a file
/// in real time, so the tests can hear what was played.
class SoundServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        sound().shutdown();
        m_previousDriver = qgetenv("SDL_AUDIODRIVER");
        output = m_dir.filePath(QStringLiteral("output.raw"));
        useDriver("disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(output));
        sound().setSoundFontCandidates(SoundService::defaultSoundFonts());
    }

    void TearDown() override {
        sound().shutdown();
        qputenv("SDL_AUDIODRIVER", m_previousDriver);
        qunsetenv("SDL_DISKAUDIOFILE");
    }

    /// Takes effect when the device is next opened.
    void useDriver(const char* name) {
        sound().shutdown();
        qputenv("SDL_AUDIODRIVER", name);
    }

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }

    /// A file whose size passes `size` without writing it (sparse where the file system can).
    QString bigFile(const QString& name, qint64 size) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size));
        return path;
    }

    /// Closes the device, so every sample played is in the output file, and reads it.
    Recording recorded() {
        sound().shutdown();
        return analyse(output);
    }

    QString output;

private:
    QTemporaryDir m_dir;
    QByteArray m_previousDriver;
};

TEST_F(SoundServiceTest, SyncPlaysTheWholeWaveBeforeReturning) {
    const QString wave = write(QStringLiteral("a.wav"), sineWave(0.3));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(sound().playWave(wave, SoundService::WaveMode::Sync))
        << sound().lastError().toStdString();
    EXPECT_GE(timer.elapsed(), 280);
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_FALSE(sound().wavePlaying());
    const Recording heard = recorded();
    // 0.3 s of 440 Hz: 264 crossings; the edges may lose one or two.
    EXPECT_GE(heard.zeroCrossings, 258);
    EXPECT_LE(heard.zeroCrossings, 266);
}

TEST_F(SoundServiceTest, AsyncReturnsAtOnceAndANewWaveOrStopEndsIt) {
    const QString longWave = write(QStringLiteral("long.wav"), sineWave(2.0));
    const QString shortWave = write(QStringLiteral("short.wav"), sineWave(0.1, 880));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(sound().playWave(longWave)) << sound().lastError().toStdString();
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_TRUE(sound().wavePlaying());
    // The short wave replaces the long one, which does not come back after it.
    ASSERT_TRUE(sound().playWave(shortWave, SoundService::WaveMode::Sync));
    EXPECT_FALSE(sound().wavePlaying());

    ASSERT_TRUE(sound().playWave(longWave));
    QThread::msleep(100);
    sound().stopWave();
    EXPECT_FALSE(sound().wavePlaying());
    sound().stopWave();  // nothing playing: harmless
    const Recording heard = recorded();
    EXPECT_GT(heard.zeroCrossings, 100);
    EXPECT_LT(heard.zeroCrossings, 1000);  // far from the 1,760 of the whole long wave
}

TEST_F(SoundServiceTest, LoopedWaveRepeatsUntilStopped) {
    const QString wave = write(QStringLiteral("loop.wav"), sineWave(0.1));
    ASSERT_TRUE(sound().playWave(wave, SoundService::WaveMode::Looped))
        << sound().lastError().toStdString();
    QThread::msleep(400);
    EXPECT_TRUE(sound().wavePlaying());
    sound().stopWave();
    EXPECT_FALSE(sound().wavePlaying());
    // One pass holds 88 crossings; four passes or so were played.
    EXPECT_GT(recorded().zeroCrossings, 250);
}

TEST_F(SoundServiceTest, DamagedWavesFailAndTheWavePlayingGoesOn) {
    const QByteArray good = sineWave(0.1);
    QByteArray dataTooLong = good;
    dataTooLong.replace(40, 4, littleEndian(0x40000000, 4));
    QByteArray shortFormat = good.left(28) + good.mid(36);  // 8 bytes of format left
    shortFormat.replace(16, 4, littleEndian(8, 4));
    QByteArray noChannels = good;
    noChannels.replace(22, 2, littleEndian(0, 2));
    const QString bad[] = {
        QStringLiteral("/nonexistent/sound.wav"),
        write(QStringLiteral("empty.wav"), {}),
        write(QStringLiteral("text.wav"), "This is not a sound at all, just some words."),
        write(QStringLiteral("header.wav"), good.left(12)),
        write(QStringLiteral("truncated.wav"), good.left(60)),
        write(QStringLiteral("datatoolong.wav"), dataTooLong),
        write(QStringLiteral("shortformat.wav"), shortFormat),
        write(QStringLiteral("nochannels.wav"), noChannels),
        bigFile(QStringLiteral("huge.wav"), SoundService::kMaxWaveBytes + 1),
    };
    ASSERT_TRUE(
        sound().playWave(write(QStringLiteral("good.wav"), good), SoundService::WaveMode::Looped));
    for (const QString& path : bad) {
        EXPECT_FALSE(sound().playWave(path, SoundService::WaveMode::Sync)) << path.toStdString();
        EXPECT_FALSE(sound().lastError().isEmpty());
        EXPECT_TRUE(sound().wavePlaying()) << path.toStdString();
    }
}

TEST_F(SoundServiceTest, WithoutADeviceEveryPlayFailsQuietly) {
    useDriver("no-such-driver");
    EXPECT_FALSE(sound().playWave(write(QStringLiteral("a.wav"), sineWave(0.1))));
    EXPECT_FALSE(sound().wavePlaying());
    EXPECT_FALSE(sound().openMidi(write(QStringLiteral("a.mid"), midiFile())));
    EXPECT_FALSE(sound().playMidi());
    EXPECT_FALSE(sound().isMidiPlaying());
    sound().stopWave();
    sound().stopMidi();
    sound().closeMidi();
    sound().shutdown();
    sound().shutdown();
    // A device that appears later is used after a shutdown.
    useDriver("disk");
    EXPECT_TRUE(sound().playWave(write(QStringLiteral("b.wav"), sineWave(0.05)),
                                 SoundService::WaveMode::Sync));
}

TEST_F(SoundServiceTest, SyncEndsOnTheDummyDriverToo) {
    useDriver("dummy");
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(sound().playWave(write(QStringLiteral("a.wav"), sineWave(0.2)),
                                 SoundService::WaveMode::Sync));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_FALSE(sound().wavePlaying());
}

TEST_F(SoundServiceTest, MidiPlaysOnceOrLoopedUntilStopped) {
    if (sound().soundFont().isEmpty()) {
        GTEST_SKIP() << "no General MIDI soundfont installed";
    }
    const QString midi = write(QStringLiteral("tune.mid"), midiFile());
    EXPECT_FALSE(sound().playMidi());  // nothing open yet
    ASSERT_TRUE(sound().openMidi(midi)) << sound().lastError().toStdString();
    EXPECT_FALSE(sound().isMidiPlaying());
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(sound().playMidi());
    EXPECT_TRUE(sound().isMidiPlaying());
    // It ends with its last event, not when the last notes have faded some seconds later.
    EXPECT_TRUE(waitUntil([] { return !sound().isMidiPlaying(); }, 3000));
    EXPECT_GE(timer.elapsed(), 750);
    EXPECT_LT(timer.elapsed(), 1100);

    // Looped, it outlasts its 0.75 seconds; stopped, it can be played again from the start.
    ASSERT_TRUE(sound().playMidi(true));
    QThread::msleep(1000);
    EXPECT_TRUE(sound().isMidiPlaying());
    sound().stopMidi();
    EXPECT_FALSE(sound().isMidiPlaying());
    EXPECT_TRUE(sound().playMidi());
    EXPECT_TRUE(sound().isMidiPlaying());
    sound().closeMidi();
    EXPECT_FALSE(sound().isMidiPlaying());
    EXPECT_FALSE(sound().playMidi());

    // Twice the speed, half the length.
    ASSERT_TRUE(sound().openMidi(write(QStringLiteral("fast.mid"), midiFile(tune(250000)))));
    timer.start();
    ASSERT_TRUE(sound().playMidi());
    EXPECT_TRUE(waitUntil([] { return !sound().isMidiPlaying(); }, 3000));
    EXPECT_GE(timer.elapsed(), 375);
    EXPECT_LT(timer.elapsed(), 700);
    // The soundfont made real notes of it.
    EXPECT_GT(recorded().loudSamples, 10000);
}

TEST_F(SoundServiceTest, MidiRefusesDamagedFilesAndNeedsASoundFont) {
    const QByteArray good = midiFile();
    const QByteArray cutTune = tune().chopped(5);  // ends inside the last note's event
    QByteArray trackTooLong = good;
    trackTooLong.replace(18, 4, bigEndian(0x10000000, 4));
    QByteArray twoTracksClaimed = good;
    twoTracksClaimed.replace(10, 2, bigEndian(2, 2));
    QByteArray noTracks = good;
    noTracks.replace(10, 2, bigEndian(0, 2));
    const QString bad[] = {
        QStringLiteral("/nonexistent/tune.mid"),
        write(QStringLiteral("garbage.mid"), QByteArray(300, '\x5a')),
        write(QStringLiteral("wave.mid"), sineWave(0.05)),
        write(QStringLiteral("header.mid"), good.left(14)),
        write(QStringLiteral("tracktoolong.mid"), trackTooLong),
        write(QStringLiteral("twotracks.mid"), twoTracksClaimed),
        write(QStringLiteral("notracks.mid"), noTracks),
        write(QStringLiteral("cutevent.mid"), midiFile(cutTune)),
        write(QStringLiteral("nostatus.mid"), midiFile(QByteArray::fromHex("003c6400ff2f00"))),
        bigFile(QStringLiteral("huge.mid"), SoundService::kMaxMidiBytes + 1),
    };
    for (const QString& path : bad) {
        EXPECT_FALSE(sound().openMidi(path)) << path.toStdString();
        EXPECT_FALSE(sound().lastError().isEmpty());
        EXPECT_FALSE(sound().playMidi());
    }

    const QString midi = write(QStringLiteral("tune.mid"), good);
    if (!sound().soundFont().isEmpty()) {
        // A RIFF MIDI file carries a standard one in its "data" chunk.
        const QByteArray body = "RMID" + QByteArray("data") + littleEndian(good.size(), 4) + good;
        const QString rmid =
            write(QStringLiteral("tune.rmi"), "RIFF" + littleEndian(body.size(), 4) + body);
        EXPECT_TRUE(sound().openMidi(rmid)) << sound().lastError().toStdString();
        EXPECT_TRUE(sound().openMidi(midi)) << sound().lastError().toStdString();
    }
    sound().setSoundFontCandidates({QStringLiteral("/nonexistent/GM.sf2")});
    EXPECT_TRUE(sound().soundFont().isEmpty());
    EXPECT_FALSE(sound().openMidi(midi));
    EXPECT_FALSE(sound().playMidi());  // the file opened before was closed
}

}  // namespace
