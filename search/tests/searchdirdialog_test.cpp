#include "search/searchdirdialog.h"
#include "platform/testing/scriptedprompt.h"
#include "search/searchmasks.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using Mode = CSearchDirDialog::Mode;

bool shown(const QFileDialog& dialog, const char* name) {
    const auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name));
    return widget != nullptr && widget->isVisibleTo(&dialog);
}

QStringList items(const QComboBox& box) {
    QStringList list;
    for (int i = 0; i < box.count(); ++i) {
        list << box.itemText(i);
    }
    return list;
}

void writeFile(const QString& path, const QByteArray& bytes = "RIFF") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

/// Highlights one entry of the dialog's list, as a click would.
void select(QFileDialog& dialog, const QString& path) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    auto* model = qobject_cast<QFileSystemModel*>(view->model());
    ASSERT_NE(model, nullptr);
    view->selectionModel()->select(model->index(path),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

TEST(SearchMasks, ListsKeepTheirOrder) {
    const QStringList shortList = search::maskStrings(search::kShortMasks);
    const QStringList longList = search::maskStrings(search::kLongMasks);
    ASSERT_EQ(shortList.size(), 31);
    ASSERT_EQ(longList.size(), 39);
    EXPECT_EQ(shortList.mid(26), QStringList({"*.wpg", "*.xbm", "*.xpm", "*.xwd", "*.*"}));
    EXPECT_EQ(longList.mid(26, 4), QStringList({"*.mac", "*.awd", "*.msp", "*.psd"}));
    // Every short mask is offered by the long list too, in the same order.
    qsizetype from = 0;
    for (const QString& mask : shortList) {
        from = longList.indexOf(mask, from);
        EXPECT_GE(from, 0) << mask.toStdString();
    }
}

class FolderSearch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("holiday/beach")));
        writeFile(root.filePath(QStringLiteral("holiday/sea.bmp")));
    }

    QString path(const char* name) const { return root.filePath(QString::fromLatin1(name)); }

    QTemporaryDir root;
    ScriptedPrompt prompt;
};

TEST_F(FolderSearch, ShowsTheMaskAndHidesTheFileRows) {
    CSearchDirDialog dialog(prompt, Mode::FolderSearch);
    for (const char* name : {"fileNameLabel", "fileNameEdit", "fileTypeLabel", "fileTypeCombo"}) {
        EXPECT_FALSE(shown(dialog, name)) << name;
    }
    EXPECT_TRUE(dialog.maskLabel()->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.maskLabel()->text(), QStringLiteral("Search for images named:"));
    EXPECT_TRUE(dialog.maskBox()->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.subFolderBox()->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.subFolderBox()->text(), QStringLiteral("Include &subdirectorys"));
    for (QPushButton* button : {dialog.playButton(), dialog.stopButton(), dialog.recordButton()}) {
        EXPECT_FALSE(button->isVisibleTo(&dialog)) << button->text().toStdString();
    }

    ASSERT_NE(dialog.okButton(), nullptr);
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("Find"));
    dialog.setOkCaption(true);
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("OK"));
    dialog.setOkCaption(false);
    EXPECT_EQ(dialog.okButton()->text(), QStringLiteral("Find"));

    // The short list as given, not sorted, and nothing typed is added to it.
    QStringList offered = items(*dialog.maskBox());
    EXPECT_EQ(offered, search::maskStrings(search::kShortMasks));
    QStringList sorted = offered;
    sorted.sort();
    EXPECT_NE(offered, sorted);
    EXPECT_EQ(dialog.maskBox()->insertPolicy(), QComboBox::NoInsert);
    EXPECT_TRUE(dialog.maskBox()->isEditable());
}

TEST_F(FolderSearch, MaskStartsAsGivenOrBmpAndChoosingCopiesIt) {
    CSearchDirDialog dialog(prompt, Mode::FolderSearch);
    EXPECT_EQ(dialog.maskBox()->currentText(), QStringLiteral("*.bmp"));
    EXPECT_TRUE(dialog.mask().isEmpty());

    dialog.setMask(QStringLiteral("holiday??.jpg"));
    EXPECT_EQ(dialog.maskBox()->currentText(), QStringLiteral("holiday??.jpg"));
    dialog.setMask(QStringLiteral("*.png"));
    EXPECT_EQ(dialog.maskBox()->currentIndex(), 7);

    // The arrow key picks the next entry, as a choice from the list does.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(dialog.maskBox(), &down);
    EXPECT_EQ(dialog.mask(), QStringLiteral("*.tga"));
    EXPECT_EQ(dialog.maskBox()->currentText(), QStringLiteral("*.tga"));
}

TEST_F(FolderSearch, MaskIsCutAt255Characters) {
    CSearchDirDialog dialog(prompt, Mode::FolderSearch);
    const QString longMask = QString(300, QLatin1Char('a')) + QStringLiteral(".bmp");
    dialog.setMask(longMask);
    EXPECT_EQ(dialog.mask(), longMask.left(255));
    EXPECT_EQ(dialog.maskBox()->currentText(), longMask.left(255));

    // Typing cannot go past the limit either.
    dialog.maskBox()->lineEdit()->setText(longMask);
    dialog.accept();
    EXPECT_EQ(dialog.mask().size(), 255);
}

TEST_F(FolderSearch, OkTakesTheFolderShownWithFlagAndMask) {
    CSearchDirDialog dialog(prompt, Mode::FolderSearch);
    dialog.setWindowTitle(QStringLiteral("Select Directory To Search"));
    dialog.setInitialFolder(root.path());
    dialog.setMask(QStringLiteral("*.gif"));
    EXPECT_EQ(QDir(dialog.directory()).absolutePath(), QDir(root.path()).absolutePath());

    dialog.setDirectory(path("holiday"));
    // A highlighted file or sub-folder does not change what is searched.
    select(dialog, path("holiday/beach"));
    select(dialog, path("holiday/sea.bmp"));
    ASSERT_NE(dialog.okButton(), nullptr);
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    dialog.subFolderBox()->setChecked(true);
    dialog.maskBox()->lineEdit()->setText(QStringLiteral("sea.*"));
    dialog.accept();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenFolder(), QDir(path("holiday")).absolutePath());
    EXPECT_TRUE(dialog.includeSubFolders());
    EXPECT_EQ(dialog.mask(), QStringLiteral("sea.*"));
    EXPECT_EQ(dialog.initialFolder(), root.path());
    EXPECT_TRUE(prompt.records().isEmpty());
}

TEST_F(FolderSearch, CancelKeepsTheStoredValues) {
    CSearchDirDialog dialog(prompt, Mode::FolderSearch);
    dialog.setInitialFolder(root.path());
    dialog.setIncludeSubFolders(true);
    dialog.setMask(QStringLiteral("*.jpg"));
    EXPECT_TRUE(dialog.subFolderBox()->isChecked());
    dialog.subFolderBox()->setChecked(false);
    dialog.maskBox()->lineEdit()->setText(QStringLiteral("*.tif"));
    dialog.reject();
    EXPECT_TRUE(dialog.chosenFolder().isEmpty());
    EXPECT_TRUE(dialog.includeSubFolders());
    EXPECT_EQ(dialog.mask(), QStringLiteral("*.jpg"));
}

TEST_F(FolderSearch, AFolderThatHasGoneStartsAtItsNearestParent) {
    CSearchDirDialog dialog(prompt, Mode::FolderSearch);
    dialog.setInitialFolder(path("holiday/gone/deeper"));
    EXPECT_EQ(dialog.directory().absolutePath(), QDir(path("holiday")).absolutePath());
    dialog.accept();
    EXPECT_EQ(dialog.chosenFolder(), QDir(path("holiday")).absolutePath());
}

TEST_F(FolderSearch, PlainChooserPicksTheFolderShown) {
    CImageDirDialog dialog(path("holiday"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Image Directory"));
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("maskBox")), nullptr);
    EXPECT_FALSE(shown(dialog, "fileNameEdit"));
    EXPECT_FALSE(shown(dialog, "fileTypeCombo"));
    select(dialog, path("holiday/beach"));
    select(dialog, path("holiday/sea.bmp"));
    const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(buttons->button(QDialogButtonBox::Open)->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.chosenFolder(), QDir(path("holiday")).absolutePath());

    CImageDirDialog cancelled(path("holiday"));
    cancelled.reject();
    EXPECT_TRUE(cancelled.chosenFolder().isEmpty());
}

/// Counts what the dialog asked of the sound output.
class SoundChooser : public FolderSearch {
protected:
    void SetUp() override {
        FolderSearch::SetUp();
        writeFile(path("bell.wav"));
        writeFile(path("tune.mid"), "MThd");
    }

    search::SoundControls controls() {
        search::SoundControls sound;
        sound.playWave = [this](const QString& file) {
            waves << file;
            return true;
        };
        sound.playMidi = [this](const QString& file) {
            midis << file;
            return midiWorks;
        };
        sound.stop = [this] { ++stops; };
        sound.startRecorder = [this] {
            ++recorderStarts;
            return recorderFound;
        };
        return sound;
    }

    QStringList waves;
    QStringList midis;
    int stops = 0;
    int recorderStarts = 0;
    bool midiWorks = true;
    bool recorderFound = true;
};

TEST_F(SoundChooser, ModesShowTheirButtons) {
    CSearchDirDialog wave(prompt, Mode::WaveSound);
    CSearchDirDialog midi(prompt, Mode::MidiSound);
    for (CSearchDirDialog* dialog : {&wave, &midi}) {
        EXPECT_FALSE(dialog->maskLabel()->isVisibleTo(dialog));
        EXPECT_FALSE(dialog->maskBox()->isVisibleTo(dialog));
        EXPECT_FALSE(dialog->subFolderBox()->isVisibleTo(dialog));
        EXPECT_TRUE(shown(*dialog, "fileNameEdit"));
        EXPECT_TRUE(dialog->playButton()->isVisibleTo(dialog));
        EXPECT_TRUE(dialog->playButton()->isEnabled());
        EXPECT_TRUE(dialog->stopButton()->isVisibleTo(dialog));
        EXPECT_FALSE(dialog->stopButton()->isEnabled());
        ASSERT_NE(dialog->okButton(), nullptr);
        EXPECT_EQ(dialog->okButton()->text(), QStringLiteral("Select"));
    }
    EXPECT_TRUE(wave.recordButton()->isVisibleTo(&wave));
    EXPECT_TRUE(wave.recordButton()->isEnabled());
    EXPECT_FALSE(midi.recordButton()->isVisibleTo(&midi));
    EXPECT_EQ(wave.selectedNameFilter(), QStringLiteral("Wave Files (*.wav)"));
    EXPECT_EQ(midi.selectedNameFilter(), QStringLiteral("MIDI Files (*.mid *.midi *.rmi)"));
}

TEST_F(SoundChooser, PlayAndStopDriveTheSoundAndTheStopButton) {
    CSearchDirDialog dialog(prompt, Mode::WaveSound);
    dialog.setSoundControls(controls());
    dialog.setInitialFolder(root.path());
    select(dialog, path("bell.wav"));
    ASSERT_EQ(dialog.selectedSoundFile(), QDir(path("bell.wav")).absolutePath());

    dialog.playButton()->click();
    EXPECT_EQ(waves, QStringList(dialog.selectedSoundFile()));
    EXPECT_TRUE(dialog.stopButton()->isEnabled());
    // A second Play replaces the sound playing.
    dialog.playButton()->click();
    EXPECT_EQ(waves.size(), 2);
    EXPECT_EQ(stops, 1);

    dialog.stopButton()->click();
    EXPECT_EQ(stops, 2);
    EXPECT_FALSE(dialog.stopButton()->isEnabled());
    EXPECT_TRUE(prompt.records().isEmpty());

    // Closing stops what is playing, and only that.
    dialog.playButton()->click();
    dialog.accept();
    EXPECT_EQ(stops, 3);
    EXPECT_EQ(dialog.chosenFile(), QDir(path("bell.wav")).absolutePath());

    CSearchDirDialog quiet(prompt, Mode::WaveSound);
    quiet.setSoundControls(controls());
    quiet.reject();
    EXPECT_EQ(stops, 3);
}

TEST_F(SoundChooser, MidiThatWillNotPlayIsReported) {
    midiWorks = false;
    CSearchDirDialog dialog(prompt, Mode::MidiSound);
    dialog.setSoundControls(controls());
    dialog.setInitialFolder(root.path());
    select(dialog, path("tune.mid"));
    dialog.play();
    EXPECT_EQ(midis, QStringList(QDir(path("tune.mid")).absolutePath()));
    EXPECT_EQ(prompt.texts(), QStringList(QStringLiteral("Unable To Play Midi File")));
    dialog.reject();
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(dialog.chosenFile().isEmpty());

    // Nothing selected is no file to play either; the player is not asked.
    prompt.clear();
    midis.clear();
    CSearchDirDialog empty(prompt, Mode::MidiSound);
    empty.setSoundControls(controls());
    empty.setInitialFolder(root.path());
    empty.play();
    EXPECT_TRUE(midis.isEmpty());
    EXPECT_EQ(prompt.texts(), QStringList(QStringLiteral("Unable To Play Midi File")));
}

TEST_F(SoundChooser, RecordWithoutARecorderSaysSoAndGivesUp) {
    CSearchDirDialog dialog(prompt, Mode::WaveSound);
    dialog.setSoundControls(controls());
    dialog.recordButton()->click();
    EXPECT_EQ(recorderStarts, 1);
    EXPECT_TRUE(dialog.recordButton()->isEnabled());
    EXPECT_TRUE(prompt.records().isEmpty());

    recorderFound = false;
    dialog.recordButton()->click();
    EXPECT_EQ(prompt.texts(), QStringList(QStringLiteral("Unable to find Windows Sound Recorder")));
    EXPECT_FALSE(dialog.recordButton()->isEnabled());

    // A caller that wired no recorder gets the same answer.
    prompt.clear();
    CSearchDirDialog unwired(prompt, Mode::WaveSound);
    unwired.record();
    EXPECT_EQ(prompt.texts(), QStringList(QStringLiteral("Unable to find Windows Sound Recorder")));
    EXPECT_FALSE(unwired.recordButton()->isEnabled());
}

class SoundRecorder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bin.isValid()); }
    void TearDown() override { qputenv("PATH", savedPath); }

    QString makeProgram(const char* name, const QByteArray& script = "#!/bin/sh\n") {
        const QString file = bin.filePath(QString::fromLatin1(name));
        QFile program(file);
        EXPECT_TRUE(program.open(QIODevice::WriteOnly));
        program.write(script);
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }

    QTemporaryDir bin;
    QByteArray savedPath = qgetenv("PATH");
};

TEST_F(SoundRecorder, PrefersTheSimpleRecorders) {
    EXPECT_TRUE(search::findSoundRecorder({bin.path()}).isEmpty());
    const QString audacity = makeProgram("audacity");
    EXPECT_EQ(search::findSoundRecorder({bin.path()}), audacity);
    const QString gnome = makeProgram("gnome-sound-recorder");
    EXPECT_EQ(search::findSoundRecorder({bin.path()}), gnome);
}

TEST_F(SoundRecorder, StartsTheRecorderFoundOnThePath) {
    qputenv("PATH", bin.path().toLocal8Bit());
    EXPECT_FALSE(search::startSoundRecorder());

    const QString marker = bin.filePath(QStringLiteral("started"));
    makeProgram("kwave", "#!/bin/sh\n: > '" + marker.toLocal8Bit() + "'\n");
    EXPECT_TRUE(search::startSoundRecorder());
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(marker) && timer.elapsed() < 5000) {
        QThread::msleep(10);
    }
    EXPECT_TRUE(QFile::exists(marker));
}

}  // namespace
