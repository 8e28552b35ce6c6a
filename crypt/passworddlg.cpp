#include "crypt/passworddlg.h"

#include "crypt/encryptionpassword.h"
#include "platform/prompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

const QString kTooShort = QStringLiteral("Passwords must be a minimum of 2 characters");
const QString kMismatch = QStringLiteral("Passwords do not match.");

QLineEdit* passwordField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setEchoMode(QLineEdit::Password);
    field->setMaxLength(EncryptionPassword::kMaximumLength);
    return field;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

/// Compares the texts as the bytes they are stored as.
bool sameBytes(const QString& a, const QString& b) {
    return a.toUtf8() == b.toUtf8();
}

}  // namespace

CPasswordDlg::CPasswordDlg(PromptService& prompt, bool askConfirmation, QWidget* parent)
    : QDialog(parent),
      m_prompt(prompt),
      m_askConfirmation(askConfirmation),
      m_password(passwordField(this)),
      m_confirmation(passwordField(this)) {
    setObjectName(QStringLiteral("CPasswordDlg"));
    setWindowTitle(QStringLiteral("Enter Password"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Set password for encryption/decryption"), this));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Password:"), m_password);
    form->addRow(QStringLiteral("Confirm password:"), m_confirmation);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    setMinimumWidth(380);
    m_confirm = [this]() -> std::optional<QString> {
        CConfirmPasswordDlg dialog(m_prompt, this);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return dialog.confirmation();
    };
    m_password->setFocus();
}

QString CPasswordDlg::password() const {
    return m_accepted;
}

void CPasswordDlg::startAgain() {
    m_password->clear();
    m_confirmation->clear();
    m_password->setFocus();
}

void CPasswordDlg::accept() {
    const QString password = m_password->text();
    if (password.size() < EncryptionPassword::kMinimumLength) {
        m_prompt.message(kTooShort);
        startAgain();
        return;
    }
    QString confirmation = password;
    if (m_askConfirmation) {
        const std::optional<QString> confirmed = m_confirm();
        if (!confirmed) {
            return;  // the confirmation was cancelled: this dialog stays
        }
        confirmation = *confirmed;
    }
    if (!sameBytes(password, confirmation)) {
        m_prompt.message(kMismatch);
        startAgain();
        return;
    }
    m_accepted = password;
    QDialog::accept();
}

CConfirmPasswordDlg::CConfirmPasswordDlg(PromptService& prompt, QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_confirmation(passwordField(this)) {
    setObjectName(QStringLiteral("CConfirmPasswordDlg"));
    setWindowTitle(QStringLiteral("Confirm Password"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Confirm password:"), m_confirmation);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    setMinimumWidth(320);
    m_confirmation->setFocus();
}

QString CConfirmPasswordDlg::confirmation() const {
    return m_confirmation->text();
}

void CConfirmPasswordDlg::accept() {
    if (m_confirmation->text().size() < EncryptionPassword::kMinimumLength) {
        m_prompt.message(kTooShort);
        m_confirmation->clear();
        m_confirmation->setFocus();
        return;
    }
    QDialog::accept();
}

void runSetPasswordCommand(EncryptionPassword& password, PromptService& prompt, QWidget* parent,
                           const std::function<bool(CPasswordDlg&)>& runner) {
    CPasswordDlg dialog(prompt, !password.isSet(), parent);
    const bool accepted = runner ? runner(dialog) : dialog.exec() == QDialog::Accepted;
    if (accepted) {
        password.setPassword(dialog.password());
    }
}
