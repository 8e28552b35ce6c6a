#include "image/filedialog.h"

#include "image/compressiondlg.h"
#include "image/fileinfodlg.h"
#include "image/formats.h"
#include "image/imageoptionsdlg.h"
#include "imaging/errors.h"
#include "imaging/imagefile.h"
#include "platform/prompt.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>

namespace {

const QString kNoFileInfo = QStringLiteral("File Information not available for this file");
constexpr int kInfoPageLimit = 10;

/// File information counts up to ten pages here; the record is the thread's
/// own, so the old limit goes back in however the call ends.
class PageLimit {
public:
    explicit PageLimit(int limit) : m_saved(imaging::defaultFileOptions()) {
        imaging::FileOptions options = m_saved;
        options.pageLimit = limit;
        imaging::setDefaultFileOptions(options);
    }
    ~PageLimit() { imaging::setDefaultFileOptions(m_saved); }
    PageLimit(const PageLimit&) = delete;
    PageLimit& operator=(const PageLimit&) = delete;

private:
    imaging::FileOptions m_saved;
};

int depthOf(const imaging::ImageHandle* image) {
    return image != nullptr && image->isAllocated() ? image->bitsPerPixel : 24;
}

}  // namespace

CFpicFileDialog::CFpicFileDialog(PromptService& prompt, bool save,
                                 const imaging::ImageHandle* image, qint64 sizeOnDisk,
                                 QWidget* parent)
    : QFileDialog(parent),
      m_prompt(prompt),
      m_save(save),
      m_state(depthOf(image)),
      m_image(image),
      m_sizeOnDisk(sizeOnDisk) {
    setObjectName(QStringLiteral("CFpicFileDialog"));
    // The extra button needs Qt's own widgets; a native dialog has no room for it.
    setOption(QFileDialog::DontUseNativeDialog);
    // The filters carry their patterns in a last pair of parentheses that Qt
    // reads and hides, so the labels show exactly as written.
    setOption(QFileDialog::HideNameFilterDetails);
    connect(this, &QFileDialog::filterSelected, this, &CFpicFileDialog::filterChosen);
}

CFpicFileDialog::CFpicFileDialog(PromptService& prompt, const image::OpenRequest& request,
                                 QWidget* parent)
    : CFpicFileDialog(prompt, false, nullptr, 0, parent) {
    setWindowTitle(request.title.isEmpty() ? QStringLiteral("Open") : request.title);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFiles);
    m_filters = image::openNameFilters();
    setNameFilters(m_filters);
    m_openIndex = request.filterIndex >= 1 && request.filterIndex <= m_filters.size()
                      ? request.filterIndex
                      : 1;
    selectNameFilter(m_filters[m_openIndex - 1]);
    if (!request.folder.isEmpty()) {
        setDirectory(request.folder);
    }
    addButton(QStringLiteral("File Info"));
    m_button->setEnabled(false);
    connect(m_button, &QPushButton::clicked, this, &CFpicFileDialog::showFileInfo);
    // The list and the detail view share one selection model.
    if (const auto* view = findChild<QListView*>(QStringLiteral("listView"))) {
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &CFpicFileDialog::selectionChanged);
    }
}

CFpicFileDialog::CFpicFileDialog(PromptService& prompt, const image::SaveRequest& request,
                                 QWidget* parent)
    : CFpicFileDialog(prompt, true, request.image, request.sizeOnDisk, parent) {
    setWindowTitle(request.title.isEmpty() ? QStringLiteral("Save As") : request.title);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    m_filters = image::saveNameFilters();
    setNameFilters(m_filters);
    if (!request.folder.isEmpty()) {
        setDirectory(request.folder);
    }
    addButton(QStringLiteral("&Options"));
    connect(m_button, &QPushButton::clicked, this, &CFpicFileDialog::showOptions);
    m_state.apply(request.typeIndex);
    selectNameFilter(m_filters[m_state.typeIndex() - 1]);
    setDefaultSuffix(m_state.extension());
    m_button->setEnabled(m_state.optionsEnabled());
    if (!request.proposedName.isEmpty()) {
        selectFile(request.proposedName);
    }
}

void CFpicFileDialog::addButton(const QString& text) {
    m_button = new QPushButton(text, this);
    m_button->setObjectName(QStringLiteral("extraButton"));
    m_button->setAutoDefault(false);
    // Below OK and Cancel, which fill the last column of the dialog's grid.
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        grid->addWidget(m_button, grid->rowCount(), grid->columnCount() - 1);
    } else if (layout() != nullptr) {
        layout()->addWidget(m_button);
    }
}

int CFpicFileDialog::typeIndex() const {
    return m_save ? m_state.typeIndex() : m_openIndex;
}

void CFpicFileDialog::filterChosen(const QString& filter) {
    // With the details hidden, Qt may hand back the label without the
    // patterns Qt reads.
    int index = static_cast<int>(m_filters.indexOf(filter)) + 1;
    for (qsizetype i = 0; index < 1 && i < m_filters.size(); ++i) {
        if (m_filters[i].left(m_filters[i].lastIndexOf(QStringLiteral(" ("))) == filter) {
            index = static_cast<int>(i) + 1;
        }
    }
    if (index < 1) {
        return;
    }
    if (!m_save) {
        m_openIndex = index;
        return;
    }
    m_state.apply(index);
    setDefaultSuffix(m_state.extension());
    m_button->setEnabled(m_state.optionsEnabled());
}

QStringList CFpicFileDialog::selectedFilePaths() const {
    QStringList paths;
    const auto* view = findChild<QListView*>(QStringLiteral("listView"));
    if (view == nullptr || view->selectionModel() == nullptr) {
        return paths;
    }
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) {
        const QString path = index.data(QFileSystemModel::FilePathRole).toString();
        if (!path.isEmpty() && !QFileInfo(path).isDir()) {
            paths << path;
        }
    }
    return paths;
}

void CFpicFileDialog::selectionChanged() {
    m_button->setEnabled(selectedFilePaths().size() == 1);
}

image::OpenChoice CFpicFileDialog::openChoice() const {
    image::OpenChoice choice;
    choice.filterIndex = m_openIndex;
    choice.folder = directory().absolutePath();
    if (result() == QDialog::Accepted) {
        choice.accepted = true;
        choice.paths = selectedFiles();
    }
    return choice;
}

image::SaveChoice CFpicFileDialog::saveChoice() const {
    const bool accepted = result() == QDialog::Accepted;
    image::SaveChoice choice =
        m_state.choice(accepted ? selectedFiles().value(0) : QString(), directory().absolutePath());
    choice.accepted = accepted && !choice.path.isEmpty();
    return choice;
}

QDialog* CFpicFileDialog::showFileInfo() {
    const QStringList files = selectedFilePaths();
    if (files.size() != 1) {
        return nullptr;
    }
    imaging::FileInfo info;
    int status = 0;
    {
        const PageLimit limit(kInfoPageLimit);
        status = imaging::fileInfo(files.first(), &info);
    }
    if (status != imaging::kSuccess || info.width < 1 || info.height < 1) {
        m_prompt.message(kNoFileInfo);
        return nullptr;
    }
    auto* dialog = new CFileInfoDlg(image::FileInfoValues::fromFileInfo(files.first(), info), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

QDialog* CFpicFileDialog::showOptions() {
    if (!m_save) {
        return nullptr;
    }
    const image::SaveOptions current = m_state.options();
    QDialog* shown = nullptr;
    if (const image::ImageOptionsLayout* table = image::imageOptionsLayout(current.format)) {
        auto* dialog = new CImageOptionsDlg(*table, current, this);
        connect(dialog, &QDialog::accepted, this,
                [this, dialog] { m_state.setOptions(dialog->choice()); });
        shown = dialog;
    } else if (CCompressionDlg::handles(current.format)) {
        CCompressionDlg::Setup setup;
        setup.image = m_image;
        setup.sizeOnDisk = m_sizeOnDisk;
        setup.options = current;
        auto* dialog = new CCompressionDlg(setup, this);
        connect(dialog, &QDialog::accepted, this,
                [this, dialog] { m_state.setOptions(dialog->choice()); });
        shown = dialog;
    } else {
        return nullptr;
    }
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->open();
    return shown;
}
