#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

/// Every message, question and file or folder chooser of the program goes
/// through one PromptService, so tests can read the texts and script the
/// answers (ScriptedPrompt). Interface thread only.
class PromptService {
public:
    enum class Icon { None, Information, Warning, Stop, Question };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    /// What a file chooser is asked for. Filters are "label (patterns)"
    /// entries in the order the dialog lists them; filterIndex is 1-based.
    struct FileRequest {
        enum class Mode { Open, OpenMany, Save };
        Mode mode = Mode::Open;
        QString title;
        QString folder;
        QString proposedName;
        QStringList filters;
        int filterIndex = 1;
        QString defaultSuffix;
    };
    struct FileResult {
        bool accepted = false;
        QStringList paths;
        int filterIndex = 1;
        QString folder;  // the folder the user ended in
    };

    virtual ~PromptService() = default;

    /// A message with an OK button.
    virtual void message(const QString& text, Icon icon = Icon::Warning,
                         const QString& caption = {}) = 0;
    virtual Answer ask(const QString& text, Buttons buttons, Icon icon = Icon::Question,
                       const QString& caption = {}) = 0;
    virtual FileResult chooseFile(const FileRequest& request) = 0;
    /// An existing folder, or an empty string when the user cancelled.
    virtual QString chooseFolder(const QString& title, const QString& start) = 0;

    /// The caption of message boxes that name none of their own.
    static QString defaultCaption() { return QStringLiteral("Pixoria"); }
};

/// The real prompts: QMessageBox, QFileDialog, over the given parent window.
class QtPromptService : public PromptService {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    void message(const QString& text, Icon icon, const QString& caption) override;
    Answer ask(const QString& text, Buttons buttons, Icon icon, const QString& caption) override;
    FileResult chooseFile(const FileRequest& request) override;
    QString chooseFolder(const QString& title, const QString& start) override;

private:
    QWidget* m_parent = nullptr;
};

/// Runs one command: a FileException that escapes it is shown in one message
/// box and the command ends. Returns false when it ended that way.
bool reportFileErrors(PromptService& prompt, const std::function<void()>& command);
