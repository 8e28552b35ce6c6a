#include "slideshow/slideshowfile.h"

#include "app/settingsstore.h"
#include "platform/archive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

/// Expected file bytes, put together field by field from the layout table
/// rather than through the archive writer.
class Bytes {
public:
    Bytes& i32(qint32 value) {
        for (int shift = 0; shift < 32; shift += 8) {
            m_data.append(char((quint32(value) >> shift) & 0xFF));
        }
        return *this;
    }
    Bytes& str(const QByteArray& text) {
        m_data.append(char(text.size()));  // the one-byte form, below 255
        m_data.append(text);
        return *this;
    }
    Bytes& raw(const QByteArray& bytes) {
        m_data.append(bytes);
        return *this;
    }
    Bytes& header(qint32 count, qint32 loop, qint32 manual, qint32 transitions, qint32 viewTime,
                  quint32 colour, qint32 advanced, qint32 soundMode) {
        str("starbloom slide file");
        for (qint32 v :
             {count, loop, manual, transitions, viewTime, qint32(colour), advanced, soundMode}) {
            i32(v);
        }
        return *this;
    }
    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

QByteArray written(const SlideShow& show, SlideShowWriter writer) {
    ArchiveWriter archive;
    writeSlideShow(archive, show, writer);
    return archive.data();
}

class SlideShowFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QString store(const char* name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    /// A show the caller already holds, which failed reads must leave as is.
    static SlideShow heldShow() {
        SlideShow show;
        show.slides.append(SlideEntry{QStringLiteral("/held/a.jpg"), QStringLiteral("/s.wav"), 7});
        show.settings.viewTime = 42;
        show.settings.soundSync = 1;
        show.settings.setTransitionSet({9, 8});
        return show;
    }

    /// Two slides with sounds, a transition set of three codes, random order.
    static SlideShow setShow() {
        SlideShow show;
        show.slides.append(SlideEntry{QStringLiteral("/p/one.jpg"), QStringLiteral("/w/a.wav"), 0});
        show.slides.append(SlideEntry{QStringLiteral("/p/two.png"), QStringLiteral("/w/b.wav"), 0});
        show.settings.loop = 1;
        show.settings.manualMode = 0;
        show.settings.transitions = 1;
        show.settings.viewTime = 5;
        show.settings.backgroundColour = 0x00336699;
        show.settings.advanced = 0;
        show.settings.soundMode = SoundMode::VariousSounds;
        show.settings.setTransitionSet({2, 90, 113});
        show.settings.transitionMode = 1;
        return show;
    }
};

TEST_F(SlideShowFileTest, ZeroSlidesWithIndividualOnEndInIndividualOrAlsoTransitionMode) {
    SlideShow show;
    show.settings.loop = 0;
    show.settings.manualMode = 1;
    show.settings.transitions = 1;
    show.settings.viewTime = 9;
    show.settings.backgroundColour = 0x000000FF;
    show.settings.advanced = 0;
    show.settings.soundMode = SoundMode::NoSound;
    show.settings.individual = 1;
    show.settings.transitionMode = 1;

    const QByteArray editor = Bytes().header(0, 0, 1, 2, 9, 0xFF, 0, 0).i32(1).data();
    EXPECT_EQ(written(show, SlideShowWriter::Editor), editor);
    EXPECT_EQ(editor.size(), 57);
    // Advanced written as 1 and transitionMode after the (no) codes.
    EXPECT_EQ(written(show, SlideShowWriter::AdvancedOptions),
              Bytes().header(0, 0, 1, 2, 9, 0xFF, 1, 0).i32(1).i32(1).data());
}

TEST_F(SlideShowFileTest, EditorClearsSoundsWhereTheAdvancedOptionsKeepThem) {
    SlideShow show = setShow();
    auto expected = [](qint32 advanced, const QByteArray& soundA, const QByteArray& soundB) {
        return Bytes()
            .header(2, 1, 0, 2, 5, 0x336699, advanced, 3)
            .str("/p/one.jpg")
            .str(soundA)
            .str("/p/two.png")
            .str(soundB)
            .i32(0)  // individual
            .i32(3)  // numberUsed
            .i32(2)
            .i32(90)
            .i32(113)
            .i32(1)  // transitionMode
            .data();
    };
    EXPECT_EQ(written(show, SlideShowWriter::Editor), expected(0, "", ""));
    EXPECT_EQ(written(show, SlideShowWriter::AdvancedOptions), expected(1, "/w/a.wav", "/w/b.wav"));

    // Saving from the editor drops the sounds held in memory too, and only
    // them.
    const QString file = path("show.sld");
    ASSERT_TRUE(saveSlideShowFile(file, show, SlideShowWriter::Editor));
    SlideShow expectedShow = setShow();
    expectedShow.slides.clearSoundPaths();
    EXPECT_EQ(show, expectedShow);

    // The advanced options keep them.
    show = setShow();
    ASSERT_TRUE(saveSlideShowFile(file, show, SlideShowWriter::AdvancedOptions));
    EXPECT_EQ(show, setShow());
    SlideShow read;
    ASSERT_TRUE(loadSlideShowFile(file, read).loaded());
    EXPECT_EQ(read.slides, setShow().slides);
    EXPECT_EQ(read.settings.advanced, 1);
}

TEST_F(SlideShowFileTest, IndividualCodesCarryTransitionModeOnlyFromTheAdvancedOptions) {
    SlideShow show = setShow();
    show.settings.individual = 1;
    show.slides[0].transitionCode = 14;
    show.slides[1].transitionCode = 0;
    show.slides.clearSoundPaths();  // so the files differ only where the writers do
    const QByteArray editor = written(show, SlideShowWriter::Editor);
    const QByteArray advanced = written(show, SlideShowWriter::AdvancedOptions);
    EXPECT_EQ(editor, Bytes()
                          .header(2, 1, 0, 2, 5, 0x336699, 0, 3)
                          .str("/p/one.jpg")
                          .str("")
                          .str("/p/two.png")
                          .str("")
                          .i32(1)
                          .i32(14)
                          .i32(0)
                          .data());
    ASSERT_EQ(advanced.size(), editor.size() + 4);
    EXPECT_EQ(advanced.mid(45, 4), Bytes().i32(1).data());  // advanced
    EXPECT_EQ(advanced.right(12), Bytes().i32(14).i32(0).i32(1).data());

    // Both read the same show; the reader stops before the extra value.
    SlideShow fromEditor;
    SlideShow fromAdvanced;
    ArchiveReader editorArchive(editor);
    ArchiveReader advancedArchive(advanced);
    SlideShowFileInfo info;
    ASSERT_TRUE(readSlideShow(editorArchive, fromEditor));
    ASSERT_TRUE(readSlideShow(advancedArchive, fromAdvanced, &info));
    EXPECT_EQ(fromEditor.slides, fromAdvanced.slides);
    fromEditor.settings.advanced = 1;
    EXPECT_EQ(fromEditor.settings, fromAdvanced.settings);
    EXPECT_EQ(fromAdvanced.slides.at(0).transitionCode, 14);
    EXPECT_EQ(fromAdvanced.settings.individual, 1);
    EXPECT_EQ(info.trailingBytes, 4);
    EXPECT_EQ(info.transitionModeAfterCodes, 1);
    EXPECT_EQ(info.transitionBlockEnd, advanced.size() - 4);
}

TEST_F(SlideShowFileTest, TransitionsOffWritesTheLegacyTableWhereTheReaderFindsIt) {
    SlideShow show;
    show.settings.transitions = 0;
    show.slides.append(QStringLiteral("a"));
    Bytes fresh;
    fresh.header(1, 1, 0, 0, 3, 0xFFFFFF, 1, 0).str("a").str("");
    for (int i = 0; i < 113; ++i) {
        fresh.i32(0);
    }
    // A fresh start carries 113 zero values.
    EXPECT_EQ(written(show, SlideShowWriter::Editor), fresh.data());

    // A table read from a file is written back in the same positions.
    Bytes legacy;
    legacy.header(0, 1, 0, 0, 3, 0, 0, 0);
    for (int position = 0; position < 113; ++position) {
        legacy.i32(position % 3 == 0 ? 1 : 0);
    }
    SlideShow read;
    ArchiveReader archive(legacy.data());
    ASSERT_TRUE(readSlideShow(archive, read));
    EXPECT_EQ(read.settings.transitions, 0);
    EXPECT_EQ(written(read, SlideShowWriter::Editor), legacy.data());
}

TEST_F(SlideShowFileTest, TransitionsFieldOfOneReadsAsOnWithTheSetFromTheLegacyTable) {
    Bytes file;
    file.header(1, 0, 0, 1, 4, 0x00FF00, 0, 2).str("c:\\pics\\a.bmp").str("c:\\snd\\a.wav");
    for (int position = 0; position < 113; ++position) {
        // Positions 0 and 1 are no transitions; 2, 5 and 112 are on.
        const bool on =
            position == 0 || position == 1 || position == 2 || position == 5 || position == 112;
        file.i32(on ? (position == 5 ? -3 : 1) : 0);
    }
    SlideShow show = heldShow();
    show.settings.transitionMode = 1;
    const SlideShowLoadResult result = loadSlideShowFile(store("old.sld", file.data()), show);
    ASSERT_TRUE(result.loaded());
    const SlideShowSettings& s = show.settings;
    EXPECT_EQ(s.transitions, 1);
    EXPECT_EQ(s.usedTransitions(), (QList<qint32>{2, 5, 112}));
    EXPECT_EQ(s.transitionSet[3], 0);  // the held set's tail is gone
    EXPECT_EQ(s.transitionMode, 0);
    EXPECT_EQ(s.legacyTransitionTable[0], 1);
    EXPECT_EQ(s.legacyTransitionTable[5], -3);
    EXPECT_EQ(s.soundMode, SoundMode::OneSound);
    EXPECT_EQ(s.backgroundColour, 0x00FF00u);
    // Values the file does not carry stay.
    EXPECT_EQ(s.soundSync, 1);
    ASSERT_EQ(show.slides.count(), 1);
    EXPECT_EQ(show.slides.at(0),
              (SlideEntry{QStringLiteral("c:\\pics\\a.bmp"), QStringLiteral("c:\\snd\\a.wav"), 0}));

    // Saved again it becomes the current layout: transitions 2 and the set.
    const QByteArray again = written(show, SlideShowWriter::Editor);
    EXPECT_EQ(again.mid(33, 4), Bytes().i32(2).data());
    EXPECT_TRUE(again.endsWith(Bytes().i32(0).i32(3).i32(2).i32(5).i32(112).i32(0).data()));
}

TEST_F(SlideShowFileTest, LongPathsUseTheLongerPrefixesAndEveryFormReads) {
    SlideShow show;
    show.settings.transitions = 1;
    const QString path254 = QLatin1Char('/') + QString(253, QLatin1Char('x'));
    const QString path255 = QLatin1Char('/') + QString(254, QLatin1Char('y'));
    show.slides.append(path254);
    show.slides.append(SlideEntry{path255, path255, 0});
    const QByteArray bytes = written(show, SlideShowWriter::AdvancedOptions);
    const QByteArray expected = Bytes()
                                    .header(2, 1, 0, 2, 3, 0xFFFFFF, 1, 0)
                                    .str(path254.toLatin1())
                                    .str("")
                                    .raw(QByteArray("\xFF\xFF\x00", 3))
                                    .raw(path255.toLatin1())
                                    .raw(QByteArray("\xFF\xFF\x00", 3))
                                    .raw(path255.toLatin1())
                                    .i32(0)
                                    .i32(0)
                                    .i32(0)
                                    .data();
    EXPECT_EQ(bytes, expected);

    // Files of the Windows program: the seven-byte prefix for a short
    // string, and Windows-1252 text.
    const QByteArray old = Bytes()
                               .header(1, 1, 0, 0, 3, 0, 0, 0)
                               .raw(QByteArray("\xFF\xFF\xFF\x07\x00\x00\x00", 7))
                               .raw("c:\\caf\xE9")
                               .str("")
                               .raw(QByteArray(113 * 4, '\0'))
                               .data();
    SlideShow read;
    ASSERT_TRUE(loadSlideShowFile(store("old.sld", old), read).loaded());
    EXPECT_EQ(read.slides.at(0).imagePath, QStringLiteral("c:\\caf\u00E9"));

    SlideShow back;
    ASSERT_TRUE(loadSlideShowFile(store("long.sld", bytes), back).loaded());
    EXPECT_EQ(back.slides, show.slides);
}

TEST_F(SlideShowFileTest, ShowsRoundTripThroughEveryLayout) {
    SlideShow withSet = setShow();
    withSet.slides.append(SlideEntry{QStringLiteral("/p/Ünïcode ✓.jpg"), {}, 0});

    // With per-slide codes the file carries no set and the reader skips
    // transitionMode: those stay as the reading model had them.
    SlideShow individual = setShow();
    individual.settings.individual = 1;
    individual.settings.setTransitionSet({});
    individual.settings.transitionMode = 0;
    individual.slides[0].transitionCode = 113;
    individual.slides[1].transitionCode = 2;

    SlideShow off = setShow();
    off.settings.transitions = 0;
    off.settings.setTransitionSet({});
    off.settings.transitionMode = 0;

    SlideShow full = setShow();
    QList<qint32> codes;
    for (int i = 0; i < SlideShowSettings::kTransitionSetCapacity; ++i) {
        codes.append(2 + i % 112);
    }
    full.settings.setTransitionSet(codes);

    for (const SlideShow& original : {withSet, individual, off, full}) {
        SlideShow show = original;
        const QString file = path("trip.sld");
        ASSERT_TRUE(saveSlideShowFile(file, show, SlideShowWriter::AdvancedOptions));
        SlideShow read;
        ASSERT_TRUE(loadSlideShowFile(file, read).loaded());
        SlideShow expected = original;
        expected.settings.advanced = 1;
        EXPECT_EQ(read, expected);
    }
}

TEST_F(SlideShowFileTest, TruncatedFilesAreRefusedAtEveryLengthAndChangeNothing) {
    SlideShow individual = setShow();
    individual.settings.individual = 1;
    SlideShow legacy = setShow();
    legacy.settings.transitions = 0;
    for (const QByteArray& whole : {written(setShow(), SlideShowWriter::AdvancedOptions),
                                    written(individual, SlideShowWriter::Editor),
                                    written(legacy, SlideShowWriter::AdvancedOptions)}) {
        for (qsizetype length = 0; length < whole.size(); ++length) {
            const QString file = store("cut.sld", whole.left(length));
            SlideShow show = heldShow();
            const SlideShowLoadResult result = loadSlideShowFile(file, show);
            ASSERT_EQ(result.status, SlideShowLoadResult::Status::Invalid) << length;
            EXPECT_EQ(result.message, QStringLiteral("Not a valid slide show file: ") + file);
            EXPECT_EQ(result.signatureMatched, length >= 21) << length;
            ASSERT_EQ(show, heldShow()) << length;
        }
        SlideShow show = heldShow();
        EXPECT_TRUE(loadSlideShowFile(store("whole.sld", whole), show).loaded());
    }
}

TEST_F(SlideShowFileTest, CountsBeyondCapacityAndUnknownLayoutsAreRefused) {
    // 10,000 slides is the most a show holds and reads.
    Bytes most;
    most.header(10000, 1, 0, 2, 3, 0, 0, 0);
    for (int i = 0; i < 10000; ++i) {
        most.str("").str("");
    }
    most.i32(0).i32(0).i32(0);
    SlideShow show;
    ASSERT_TRUE(loadSlideShowFile(store("most.sld", most.data()), show).loaded());
    EXPECT_EQ(show.slides.count(), 10000);

    auto refused = [&](const QByteArray& bytes) {
        SlideShow held = heldShow();
        const SlideShowLoadResult result = loadSlideShowFile(store("bad.sld", bytes), held);
        return result.status == SlideShowLoadResult::Status::Invalid && !result.message.isEmpty() &&
               held == heldShow();
    };
    // Enough bytes for 10,001 slides, so only the count can be at fault.
    Bytes over;
    over.header(10001, 1, 0, 2, 3, 0, 0, 0);
    for (int i = 0; i < 10001; ++i) {
        over.str("").str("");
    }
    over.i32(0).i32(0).i32(0);
    EXPECT_TRUE(refused(over.data()));
    EXPECT_TRUE(refused(Bytes().header(-1, 1, 0, 2, 3, 0, 0, 0).i32(0).i32(0).i32(0).data()));
    // A set larger than its 115 entries.
    Bytes bigSet;
    bigSet.header(0, 1, 0, 2, 3, 0, 0, 0).i32(0).i32(116);
    for (int i = 0; i < 117; ++i) {
        bigSet.i32(2);
    }
    EXPECT_TRUE(refused(bigSet.data()));
    EXPECT_TRUE(refused(Bytes().header(0, 1, 0, 2, 3, 0, 0, 0).i32(0).i32(-1).i32(0).data()));
    // A transitions field no writer produces.
    EXPECT_TRUE(refused(Bytes().header(0, 1, 0, 3, 3, 0, 0, 0).raw(QByteArray(600, '\0')).data()));
    // A string claiming more bytes than the file has.
    EXPECT_TRUE(refused(Bytes()
                            .header(1, 1, 0, 2, 3, 0, 0, 0)
                            .raw(QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7))
                            .data()));
}

TEST_F(SlideShowFileTest, ASignatureMismatchStopsTheReadAndChangesNothing) {
    const QByteArray good = written(setShow(), SlideShowWriter::Editor);
    for (const QByteArray& signature :
         {QByteArray("Starbloom slide file"), QByteArray("starbloom slide fil"),
          QByteArray("starbloom slide files")}) {
        QByteArray bytes = good.mid(21);
        bytes.prepend(signature);
        bytes.prepend(char(signature.size()));
        SlideShow show = heldShow();
        const SlideShowLoadResult result = loadSlideShowFile(store("sig.sld", bytes), show);
        EXPECT_EQ(result.status, SlideShowLoadResult::Status::Invalid);
        EXPECT_FALSE(result.signatureMatched);
        EXPECT_EQ(show, heldShow());

        ArchiveReader archive(bytes);
        SlideShow direct;
        EXPECT_FALSE(readSlideShow(archive, direct));
        EXPECT_EQ(archive.position(), signature.size() + 1);
    }
    SlideShow show = heldShow();
    EXPECT_EQ(loadSlideShowFile(path("missing.sld"), show).status,
              SlideShowLoadResult::Status::NotOpened);
    EXPECT_EQ(show, heldShow());
}

TEST_F(SlideShowFileTest, AFailedSaveKeepsTheOldFileAndTheSounds) {
    const QString file = path("keep.sld");
    const QByteArray old = written(setShow(), SlideShowWriter::AdvancedOptions);
    store("keep.sld", old);

    SlideShow show = setShow();
    QString error;
    EXPECT_FALSE(
        saveSlideShowFile(path("no/such/folder/x.sld"), show, SlideShowWriter::Editor, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(show, setShow());

    // Saved over the old file, the new one replaces it whole; no temporary
    // file stays behind.
    show.slides.removeAt(1);
    ASSERT_TRUE(saveSlideShowFile(file, show, SlideShowWriter::AdvancedOptions));
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), written(show, SlideShowWriter::AdvancedOptions));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.sld")});
}

TEST_F(SlideShowFileTest, TheEditorStoresItsCheckBoxesBeforeTouchingTheFile) {
    SettingsStore settings(path("Pixoria.conf"));
    const QString file = store("show.sld", written(setShow(), SlideShowWriter::Editor));

    // Reading: the values held before the read go to the store, not the file's.
    SlideShow show;
    show.settings.manualMode = 1;
    show.settings.loop = 0;
    show.settings.transitions = 0;
    ASSERT_TRUE(editorLoadSlideShow(settings, file, show).loaded());
    EXPECT_EQ(settings.read(prefs::slideshow::kManualMode), 1);
    EXPECT_EQ(settings.read(prefs::slideshow::kLoop), 0);
    EXPECT_EQ(settings.read(prefs::slideshow::kTransition), 0);
    EXPECT_EQ(show.settings.loop, 1);

    // Also when the file turns out not to be a slide show.
    show.settings.manualMode = 0;
    EXPECT_FALSE(editorLoadSlideShow(settings, store("junk.sld", "junk"), show).loaded());
    EXPECT_EQ(settings.read(prefs::slideshow::kManualMode), 0);
    EXPECT_EQ(settings.read(prefs::slideshow::kTransition), 1);

    // Writing, even when the file cannot be created.
    show.settings.loop = 0;
    EXPECT_FALSE(editorSaveSlideShow(settings, path("none/x.sld"), show));
    EXPECT_EQ(settings.read(prefs::slideshow::kLoop), 0);
    show.settings.loop = 1;
    ASSERT_TRUE(editorSaveSlideShow(settings, path("saved.sld"), show));
    EXPECT_EQ(settings.read(prefs::slideshow::kLoop), 1);
    // Nothing else of the section is touched by the step.
    QStringList keys = settings.storedKeys();
    keys.sort();
    EXPECT_EQ(keys,
              (QStringList{QStringLiteral("slideshow/loop"), QStringLiteral("slideshow/manualMode"),
                           QStringLiteral("slideshow/transition")}));
}

}  // namespace
