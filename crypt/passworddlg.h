#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class EncryptionPassword;
class PromptService;
class QLineEdit;

/// "Enter Password": the password and its confirmation, each at most 96
/// characters. OK refuses passwords shorter than 2 characters and passwords
/// that differ from their confirmation, empties both fields and stays open.
/// With ask-confirmation set, the confirmation comes from the separate
/// "Confirm Password" dialog instead of the second field.
class CPasswordDlg : public QDialog {
    Q_OBJECT

public:
    /// Asks for the confirmation; empty when the user cancelled it.
    using ConfirmRunner = std::function<std::optional<QString>()>;

    CPasswordDlg(PromptService& prompt, bool askConfirmation, QWidget* parent = nullptr);

    QString password() const;
    QLineEdit* passwordEdit() const { return m_password; }
    QLineEdit* confirmationEdit() const { return m_confirmation; }
    /// Replaces the "Confirm Password" dialog (tests answer for the user).
    void setConfirmRunner(ConfirmRunner runner) { m_confirm = std::move(runner); }

    void accept() override;

private:
    void startAgain();

    PromptService& m_prompt;
    bool m_askConfirmation;
    QLineEdit* m_password;
    QLineEdit* m_confirmation;
    ConfirmRunner m_confirm;
    QString m_accepted;
};

/// "Confirm Password": one field; OK refuses fewer than 2 characters.
class CConfirmPasswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit CConfirmPasswordDlg(PromptService& prompt, QWidget* parent = nullptr);

    QString confirmation() const;
    QLineEdit* confirmationEdit() const { return m_confirmation; }
    void accept() override;

private:
    PromptService& m_prompt;
    QLineEdit* m_confirmation;
};

/// The set-password command: the password dialog, asking confirmation when
/// no password was set in this run; OK sets the run's password. `runner`
/// replaces running the dialog (tests); it returns whether OK was pressed.
void runSetPasswordCommand(EncryptionPassword& password, PromptService& prompt,
                           QWidget* parent = nullptr,
                           const std::function<bool(CPasswordDlg&)>& runner = {});

inline const QString kSetPasswordPrompt = QStringLiteral("Set encryption password\nSet password ");
