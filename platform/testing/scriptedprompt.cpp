#include "platform/testing/scriptedprompt.h"

QStringList ScriptedPrompt::texts() const {
    QStringList out;
    for (const Record& record : m_records) {
        if (record.kind == Record::Kind::Message || record.kind == Record::Kind::Question) {
            out << record.text;
        }
    }
    return out;
}

void ScriptedPrompt::clear() {
    m_records.clear();
    m_answers.clear();
    m_files.clear();
    m_folders.clear();
    m_unscripted = 0;
}

void ScriptedPrompt::message(const QString& text, Icon icon, const QString& caption) {
    m_records.append({Record::Kind::Message, text, caption, icon, Buttons::Ok, {}});
}

PromptService::Answer ScriptedPrompt::ask(const QString& text, Buttons buttons, Icon icon,
                                          const QString& caption) {
    m_records.append({Record::Kind::Question, text, caption, icon, buttons, {}});
    if (m_answers.empty()) {
        ++m_unscripted;
        if (buttons == Buttons::Ok) {
            return Answer::Ok;
        }
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

PromptService::FileResult ScriptedPrompt::chooseFile(const FileRequest& request) {
    m_records.append({Record::Kind::File, request.title, {}, Icon::None, Buttons::Ok, request});
    if (m_files.empty()) {
        ++m_unscripted;
        return {};
    }
    FileResult result = std::move(m_files.front());
    m_files.pop_front();
    return result;
}

QString ScriptedPrompt::chooseFolder(const QString& title, const QString& start) {
    FileRequest request;
    request.folder = start;
    m_records.append({Record::Kind::Folder, title, {}, Icon::None, Buttons::Ok, request});
    if (m_folders.empty()) {
        ++m_unscripted;
        return {};
    }
    QString folder = std::move(m_folders.front());
    m_folders.pop_front();
    return folder;
}
