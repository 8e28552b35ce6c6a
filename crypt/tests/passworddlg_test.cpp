#include "crypt/passworddlg.h"
#include "crypt/encryptionpassword.h"
#include "platform/testing/scriptedprompt.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

void type(CPasswordDlg& dialog, const QString& password, const QString& confirmation) {
    dialog.passwordEdit()->setText(password);
    dialog.confirmationEdit()->setText(confirmation);
}

TEST(PasswordDialog, ShortAndMismatchedPasswordsKeepTheDialogOpenAndEmptied) {
    ScriptedPrompt prompt;
    CPasswordDlg dialog(prompt, false);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Enter Password"));
    EXPECT_EQ(dialog.passwordEdit()->maxLength(), 96);

    type(dialog, QStringLiteral("x"), QStringLiteral("x"));
    dialog.accept();
    EXPECT_EQ(prompt.texts(), QStringList{"Passwords must be a minimum of 2 characters"});
    EXPECT_TRUE(dialog.passwordEdit()->text().isEmpty());
    EXPECT_TRUE(dialog.confirmationEdit()->text().isEmpty());
    EXPECT_EQ(dialog.result(), 0);

    // Without confirmation asked, the second field is not consulted.
    prompt.clear();
    type(dialog, QStringLiteral("hunter2"), QStringLiteral("something else"));
    dialog.accept();
    EXPECT_TRUE(prompt.records().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.password(), QStringLiteral("hunter2"));
}

TEST(PasswordDialog, TheFirstPasswordIsConfirmedInItsOwnDialog) {
    ScriptedPrompt prompt;
    CPasswordDlg dialog(prompt, true);
    QStringList confirmations = {QStringLiteral("hunter3"), QStringLiteral("hunter2")};
    int asked = 0;
    dialog.setConfirmRunner([&]() -> std::optional<QString> {
        ++asked;
        return confirmations.takeFirst();
    });
    type(dialog, QStringLiteral("hunter2"), QStringLiteral("hunter2"));
    dialog.accept();
    EXPECT_EQ(prompt.texts(), QStringList{"Passwords do not match."});
    EXPECT_TRUE(dialog.passwordEdit()->text().isEmpty());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    type(dialog, QStringLiteral("hunter2"), QString());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(asked, 2);
}

TEST(PasswordDialog, TheConfirmationDialogRefusesShortConfirmations) {
    ScriptedPrompt prompt;
    CConfirmPasswordDlg dialog(prompt);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Confirm Password"));
    dialog.confirmationEdit()->setText(QStringLiteral("y"));
    dialog.accept();
    EXPECT_EQ(prompt.texts(), QStringList{"Passwords must be a minimum of 2 characters"});
    EXPECT_TRUE(dialog.confirmationEdit()->text().isEmpty());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.confirmationEdit()->setText(QStringLiteral("yes"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SetPasswordCommand, ConfirmsOnlyTheFirstPasswordOfTheRun) {
    ScriptedPrompt prompt;
    EncryptionPassword password;
    QList<bool> confirmationAsked;
    const auto answer = [&](const QString& text) {
        return [&, text](CPasswordDlg& dialog) {
            bool confirmed = false;
            dialog.setConfirmRunner([&]() -> std::optional<QString> {
                confirmed = true;
                return text;
            });
            type(dialog, text, QString());
            dialog.accept();
            confirmationAsked << confirmed;
            return dialog.result() == QDialog::Accepted;
        };
    };
    runSetPasswordCommand(password, prompt, nullptr, answer(QStringLiteral("first")));
    EXPECT_TRUE(password.isSet());
    EXPECT_EQ(password.key().left(5), QByteArray("first"));
    runSetPasswordCommand(password, prompt, nullptr, answer(QStringLiteral("second")));
    EXPECT_EQ(password.key().left(6), QByteArray("second"));
    EXPECT_EQ(confirmationAsked, (QList<bool>{true, false}));

    // Cancel changes nothing.
    runSetPasswordCommand(password, prompt, nullptr, [](CPasswordDlg&) { return false; });
    EXPECT_EQ(password.key().left(6), QByteArray("second"));
}

}  // namespace
