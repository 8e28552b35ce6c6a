#pragma once

#include "platform/prompt.h"

#include <QList>

#include <deque>

/// A PromptService for tests: records every prompt in order and answers from
/// a script. Prompts the script does not cover get Cancel (No for Yes/No,
/// Ok for plain messages) and a cancelled chooser, and are counted.
class ScriptedPrompt : public PromptService {
public:
    struct Record {
        enum class Kind { Message, Question, File, Folder };
        Kind kind;
        QString text;  // message text, or the chooser's title
        QString caption;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        FileRequest fileRequest;  // for Kind::File
    };

    void scriptAnswer(Answer answer) { m_answers.push_back(answer); }
    void scriptFile(FileResult result) { m_files.push_back(std::move(result)); }
    void scriptFolder(QString folder) { m_folders.push_back(std::move(folder)); }

    const QList<Record>& records() const { return m_records; }
    /// The texts of the messages and questions, in the order shown.
    QStringList texts() const;
    int unscripted() const { return m_unscripted; }
    void clear();

    void message(const QString& text, Icon icon, const QString& caption) override;
    Answer ask(const QString& text, Buttons buttons, Icon icon, const QString& caption) override;
    FileResult chooseFile(const FileRequest& request) override;
    QString chooseFolder(const QString& title, const QString& start) override;

private:
    QList<Record> m_records;
    std::deque<Answer> m_answers;
    std::deque<FileResult> m_files;
    std::deque<QString> m_folders;
    int m_unscripted = 0;
};
