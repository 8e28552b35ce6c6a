#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>

class PromptService;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace search {

/// How the sound choosers play, stop and record. The caller wires these to
/// its sound output; an unset member does nothing and counts as a failure.
struct SoundControls {
    /// Starts a wave file and returns at once.
    std::function<bool(const QString& path)> playWave;
    std::function<bool(const QString& path)> playMidi;
    std::function<void()> stop;
    /// Brings up a sound recorder; false when there is none.
    std::function<bool()> startRecorder;
};

/// The first sound recorder found in the given folders (the PATH when none
/// are given), or an empty string.
QString findSoundRecorder(const QStringList& searchPaths = {});
/// Starts the sound recorder found by findSoundRecorder(), detached from us.
bool startSoundRecorder();

/// Runs the "Select Image Directory" chooser. Returns the folder chosen, or
/// an empty string when the user cancelled.
QString chooseImageDirectory(QWidget* parent, const QString& initialFolder);

}  // namespace search

/// The folder-and-mask chooser of the image searches, also the chooser of
/// wave and MIDI sounds: Qt's own file dialog widgets with the mask, the
/// sub-folder choice and the sound buttons below them. In the folder search
/// the folder shown when the user presses OK is the one chosen. Interface
/// thread only.
class CSearchDirDialog : public QFileDialog {
    Q_OBJECT

public:
    enum class Mode { FolderSearch = 0, WaveSound = 1, MidiSound = 2 };

    CSearchDirDialog(PromptService& prompt, Mode mode, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }

    bool includeSubFolders() const { return m_includeSubFolders; }
    void setIncludeSubFolders(bool include);
    /// The file-name mask, at most 255 characters; longer text is cut.
    QString mask() const { return m_mask; }
    void setMask(const QString& mask);
    /// Makes the folder search's OK button read "OK" instead of "Find".
    bool okCaption() const { return m_okCaption; }
    void setOkCaption(bool useOk);
    QString initialFolder() const { return m_initialFolder; }
    void setInitialFolder(const QString& folder);
    void setSoundControls(search::SoundControls controls) { m_sound = std::move(controls); }

    /// The folder chosen (folder search) and the file chosen (sound
    /// choosers); empty until the dialog was accepted.
    QString chosenFolder() const { return m_chosenFolder; }
    QString chosenFile() const { return m_chosenFile; }

    QLabel* maskLabel() const { return m_maskLabel; }
    QComboBox* maskBox() const { return m_maskBox; }
    QCheckBox* subFolderBox() const { return m_subFolderBox; }
    QPushButton* playButton() const { return m_playButton; }
    QPushButton* stopButton() const { return m_stopButton; }
    QPushButton* recordButton() const { return m_recordButton; }
    QPushButton* okButton() const;

    /// The sound file selected in the dialog now, or an empty string.
    QString selectedSoundFile() const;
    void play();
    void stop();
    void record();

    void accept() override;
    void done(int result) override;

private:
    void addControls();
    void applyMode();
    void updateOkCaption();
    void maskChosen(int index);
    void stopSound();

    PromptService& m_prompt;
    const Mode m_mode;
    bool m_includeSubFolders = false;
    QString m_mask;
    bool m_okCaption = false;
    QString m_initialFolder;
    QString m_chosenFolder;
    QString m_chosenFile;
    search::SoundControls m_sound;
    bool m_playing = false;

    QLabel* m_maskLabel = nullptr;
    QComboBox* m_maskBox = nullptr;
    QCheckBox* m_subFolderBox = nullptr;
    QPushButton* m_playButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_recordButton = nullptr;
};

/// The plain folder chooser, "Select Image Directory": Qt's file dialog
/// widgets with no controls of ours; the folder shown when the user presses
/// OK is the one chosen. Interface thread only.
class CImageDirDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit CImageDirDialog(const QString& initialFolder, QWidget* parent = nullptr);

    /// Empty until the dialog was accepted.
    QString chosenFolder() const { return m_chosenFolder; }

    void accept() override;
    void done(int result) override;

private:
    QString m_chosenFolder;
};
