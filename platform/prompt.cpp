#include "platform/prompt.h"

#include "platform/fileexception.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon toQt(PromptService::Icon icon) {
    switch (icon) {
        case PromptService::Icon::Information:
            return QMessageBox::Information;
        case PromptService::Icon::Warning:
            return QMessageBox::Warning;
        case PromptService::Icon::Stop:
            return QMessageBox::Critical;
        case PromptService::Icon::Question:
            return QMessageBox::Question;
        case PromptService::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QString captionOr(const QString& caption) {
    return caption.isEmpty() ? PromptService::defaultCaption() : caption;
}

}  // namespace

void QtPromptService::message(const QString& text, Icon icon, const QString& caption) {
    QMessageBox box(toQt(icon), captionOr(caption), text, QMessageBox::Ok, m_parent);
    box.exec();
}

PromptService::Answer QtPromptService::ask(const QString& text, Buttons buttons, Icon icon,
                                           const QString& caption) {
    QMessageBox::StandardButtons qtButtons = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) {
        qtButtons = QMessageBox::Yes | QMessageBox::No;
    } else if (buttons == Buttons::YesNoCancel) {
        qtButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    QMessageBox box(toQt(icon), captionOr(caption), text, qtButtons, m_parent);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            break;
    }
    // Closing the box with Esc or the title bar is Cancel where there is
    // one, otherwise No.
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

PromptService::FileResult QtPromptService::chooseFile(const FileRequest& request) {
    QFileDialog dialog(m_parent, request.title, request.folder);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size()) {
        dialog.selectNameFilter(request.filters.at(request.filterIndex - 1));
    }
    if (request.mode == FileRequest::Mode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (!request.proposedName.isEmpty()) {
            dialog.selectFile(request.proposedName);
        }
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.mode == FileRequest::Mode::OpenMany ? QFileDialog::ExistingFiles
                                                                       : QFileDialog::ExistingFile);
    }
    FileResult result;
    if (dialog.exec() != QDialog::Accepted) {
        return result;
    }
    result.accepted = true;
    result.paths = dialog.selectedFiles();
    result.filterIndex = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())) + 1;
    result.folder = dialog.directory().absolutePath();
    return result;
}

QString QtPromptService::chooseFolder(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(m_parent, title, start);
}

bool reportFileErrors(PromptService& prompt, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const FileException& error) {
        prompt.message(error.message(), PromptService::Icon::Stop);
        return false;
    }
}
