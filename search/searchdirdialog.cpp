#include "search/searchdirdialog.h"

#include "platform/prompt.h"
#include "search/searchmasks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

#include <array>
#include <utility>

namespace {

const QString kMaskLabel = QStringLiteral("Search for images named:");
const QString kSubFolders = QStringLiteral("Include &subdirectorys");
const QString kMidiFailed = QStringLiteral("Unable To Play Midi File");
const QString kNoRecorder = QStringLiteral("Unable to find Windows Sound Recorder");

// Simple recorders first, then the sound editors that can also record.
constexpr std::array<const char*, 4> kRecorders{"gnome-sound-recorder", "audio-recorder", "kwave",
                                                "audacity"};

/// The folder itself when it exists, else its nearest existing parent, else
/// the home folder; a search folder stored earlier may have gone since.
QString existingFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return QDir::homePath();
    }
    QFileInfo info(QDir::cleanPath(QDir(folder).absolutePath()));
    while (!info.isDir()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath()) {
            return QDir::homePath();
        }
        info.setFile(parent);
    }
    return info.absoluteFilePath();
}

/// Keeps a button enabled whatever its owner decides.
class KeepEnabled : public QObject {
public:
    explicit KeepEnabled(QWidget* button) : QObject(button) { button->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* button = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::EnabledChange && button != nullptr && !button->isEnabled()) {
            button->setEnabled(true);
        }
        return false;
    }
};

QWidget* part(QFileDialog& dialog, const char* name) {
    return dialog.findChild<QWidget*>(QString::fromLatin1(name));
}

QPushButton* acceptButton(const QFileDialog& dialog) {
    const auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return box != nullptr ? box->button(QDialogButtonBox::Open) : nullptr;
}

/// Sets a file dialog up to choose a folder. Files stay in view so the user
/// sees what the folder holds; the file name and type rows are hidden, since
/// only the folder counts.
void setUpFolderChoice(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setNameFilter(QStringLiteral("Image Files (*)"));
    for (const char* name : {"fileNameLabel", "fileNameEdit", "fileTypeLabel", "fileTypeCombo"}) {
        if (QWidget* widget = part(dialog, name)) {
            widget->hide();
        }
    }
    // The emptied rows would otherwise leave the folder box at its narrowest.
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->setColumnStretch(1, 1);
    }
    // Qt disables its button while a file is highlighted; the folder shown is
    // the answer whatever is highlighted, so the button stays usable.
    if (QPushButton* button = acceptButton(dialog)) {
        button->setEnabled(true);
        new KeepEnabled(button);
    }
}

/// The grid cell of one of the file dialog's own widgets, or {-1, -1}.
std::pair<int, int> cellOf(QGridLayout& grid, QWidget* widget) {
    const int index = widget != nullptr ? grid.indexOf(widget) : -1;
    if (index < 0) {
        return {-1, -1};
    }
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid.getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    return {row, column};
}

}  // namespace

namespace search {

QString findSoundRecorder(const QStringList& searchPaths) {
    for (const char* name : kRecorders) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name), searchPaths);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return {};
}

bool startSoundRecorder() {
    const QString recorder = findSoundRecorder();
    return !recorder.isEmpty() && QProcess::startDetached(recorder, {});
}

QString chooseImageDirectory(QWidget* parent, const QString& initialFolder) {
    CImageDirDialog dialog(initialFolder, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenFolder() : QString();
}

}  // namespace search

CSearchDirDialog::CSearchDirDialog(PromptService& prompt, Mode mode, QWidget* parent)
    : QFileDialog(parent), m_prompt(prompt), m_mode(mode) {
    setObjectName(QStringLiteral("CSearchDirDialog"));
    if (m_mode == Mode::FolderSearch) {
        setUpFolderChoice(*this);
    } else {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFile);
        setNameFilters(
            m_mode == Mode::WaveSound
                ? QStringList{QStringLiteral("Wave Files (*.wav)"), QStringLiteral("All Files (*)")}
                : QStringList{QStringLiteral("MIDI Files (*.mid *.midi *.rmi)"),
                              QStringLiteral("All Files (*)")});
    }
    addControls();
    applyMode();
    setMask(QString());
}

void CSearchDirDialog::addControls() {
    m_maskLabel = new QLabel(kMaskLabel, this);
    m_maskBox = new QComboBox(this);
    m_maskBox->setObjectName(QStringLiteral("maskBox"));
    m_maskBox->setEditable(true);
    m_maskBox->setInsertPolicy(QComboBox::NoInsert);
    m_maskBox->lineEdit()->setMaxLength(search::kMaxMaskLength);
    m_maskBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_maskLabel->setBuddy(m_maskBox);
    m_subFolderBox = new QCheckBox(kSubFolders, this);
    m_subFolderBox->setObjectName(QStringLiteral("subFolderBox"));
    connect(m_maskBox, &QComboBox::activated, this, &CSearchDirDialog::maskChosen);

    auto makeButton = [this](const QString& text) {
        auto* button = new QPushButton(text, this);
        button->setAutoDefault(false);
        return button;
    };
    m_playButton = makeButton(QStringLiteral("Play"));
    m_stopButton = makeButton(QStringLiteral("Stop"));
    m_recordButton = makeButton(QStringLiteral("Record"));
    connect(m_playButton, &QPushButton::clicked, this, &CSearchDirDialog::play);
    connect(m_stopButton, &QPushButton::clicked, this, &CSearchDirDialog::stop);
    connect(m_recordButton, &QPushButton::clicked, this, &CSearchDirDialog::record);

    auto* grid = qobject_cast<QGridLayout*>(layout());
    if (grid == nullptr) {
        // Not Qt's usual arrangement: the controls go below it in one row.
        auto* row = new QHBoxLayout;
        for (QWidget* widget :
             std::initializer_list<QWidget*>{m_maskLabel, m_maskBox, m_subFolderBox, m_playButton,
                                             m_stopButton, m_recordButton}) {
            row->addWidget(widget);
        }
        if (layout() != nullptr) {
            layout()->addItem(row);
        }
        return;
    }
    if (m_mode == Mode::FolderSearch) {
        // In the rows left empty by the hidden file name and type.
        auto [nameRow, nameColumn] = cellOf(*grid, part(*this, "fileNameLabel"));
        auto [typeRow, typeColumn] = cellOf(*grid, part(*this, "fileTypeLabel"));
        if (nameRow < 0 || typeRow < 0) {
            nameRow = grid->rowCount();
            typeRow = nameRow + 1;
            nameColumn = typeColumn = 0;
        }
        grid->addWidget(m_maskLabel, nameRow, nameColumn);
        grid->addWidget(m_maskBox, nameRow, nameColumn + 1);
        grid->addWidget(m_subFolderBox, typeRow, typeColumn + 1);
    } else {
        auto* row = new QHBoxLayout;
        row->addWidget(m_playButton);
        row->addWidget(m_stopButton);
        row->addWidget(m_recordButton);
        row->addStretch();
        grid->addLayout(row, grid->rowCount(), 1);
    }
}

void CSearchDirDialog::applyMode() {
    const bool folder = m_mode == Mode::FolderSearch;
    m_maskLabel->setVisible(folder);
    m_maskBox->setVisible(folder);
    m_subFolderBox->setVisible(folder);
    m_playButton->setVisible(!folder);
    m_stopButton->setVisible(!folder);
    m_recordButton->setVisible(m_mode == Mode::WaveSound);
    m_playButton->setEnabled(!folder);
    m_stopButton->setEnabled(false);
    m_recordButton->setEnabled(m_mode == Mode::WaveSound);
    if (folder) {
        m_maskBox->addItems(search::maskStrings(search::kShortMasks));
    }
    updateOkCaption();
}

void CSearchDirDialog::updateOkCaption() {
    QString caption = QStringLiteral("Select");
    if (m_mode == Mode::FolderSearch) {
        caption = m_okCaption ? QStringLiteral("OK") : QStringLiteral("Find");
    }
    setLabelText(QFileDialog::Accept, caption);
}

void CSearchDirDialog::setIncludeSubFolders(bool include) {
    m_includeSubFolders = include;
    m_subFolderBox->setChecked(include);
}

void CSearchDirDialog::setMask(const QString& mask) {
    m_mask = mask.left(search::kMaxMaskLength);
    const QString text = m_mask.isEmpty() ? QString::fromLatin1(search::kDefaultMask.data(),
                                                                search::kDefaultMask.size())
                                          : m_mask;
    m_maskBox->setCurrentIndex(
        m_maskBox->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_maskBox->setEditText(text);
}

void CSearchDirDialog::setOkCaption(bool useOk) {
    m_okCaption = useOk;
    updateOkCaption();
}

void CSearchDirDialog::setInitialFolder(const QString& folder) {
    m_initialFolder = folder;
    setDirectory(existingFolder(folder));
}

QPushButton* CSearchDirDialog::okButton() const {
    return acceptButton(*this);
}

void CSearchDirDialog::maskChosen(int index) {
    if (index < 0) {
        return;
    }
    m_mask = m_maskBox->itemText(index).left(search::kMaxMaskLength);
    m_maskBox->setEditText(m_mask);
}

QString CSearchDirDialog::selectedSoundFile() const {
    for (const QString& path : selectedFiles()) {
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return {};
}

void CSearchDirDialog::play() {
    if (m_mode == Mode::FolderSearch) {
        return;
    }
    const QString file = selectedSoundFile();
    // One sound at a time: a new one replaces what is playing.
    stopSound();
    m_playing = true;
    m_stopButton->setEnabled(true);
    if (m_mode == Mode::WaveSound) {
        // A wave that cannot be played stays silent, with no message.
        if (!file.isEmpty() && m_sound.playWave) {
            m_sound.playWave(file);
        }
        return;
    }
    if (file.isEmpty() || !m_sound.playMidi || !m_sound.playMidi(file)) {
        m_prompt.message(kMidiFailed);
    }
}

void CSearchDirDialog::stop() {
    m_stopButton->setEnabled(false);
    stopSound();
}

void CSearchDirDialog::stopSound() {
    if (!m_playing) {
        return;
    }
    m_playing = false;
    if (m_sound.stop) {
        m_sound.stop();
    }
}

void CSearchDirDialog::record() {
    if (m_sound.startRecorder && m_sound.startRecorder()) {
        return;
    }
    m_prompt.message(kNoRecorder);
    m_recordButton->setEnabled(false);
}

void CSearchDirDialog::accept() {
    if (m_mode != Mode::FolderSearch) {
        QFileDialog::accept();
        return;
    }
    // The folder shown is the answer, whatever is highlighted in it.
    QDialog::accept();
}

void CSearchDirDialog::done(int result) {
    stopSound();
    m_stopButton->setEnabled(false);
    if (result == QDialog::Accepted) {
        m_includeSubFolders = m_subFolderBox->isChecked();
        setMask(m_maskBox->currentText());
        if (m_mode == Mode::FolderSearch) {
            m_chosenFolder = directory().absolutePath();
        } else {
            m_chosenFile = selectedSoundFile();
        }
    }
    QFileDialog::done(result);
}

CImageDirDialog::CImageDirDialog(const QString& initialFolder, QWidget* parent)
    : QFileDialog(parent) {
    setObjectName(QStringLiteral("CImageDirDialog"));
    setWindowTitle(QStringLiteral("Select Image Directory"));
    setUpFolderChoice(*this);
    setDirectory(existingFolder(initialFolder));
}

void CImageDirDialog::accept() {
    QDialog::accept();
}

void CImageDirDialog::done(int result) {
    if (result == QDialog::Accepted) {
        m_chosenFolder = directory().absolutePath();
    }
    QFileDialog::done(result);
}
