#include "image/textdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

image::TextToolSettings sampleSettings() {
    image::TextToolSettings settings;
    settings.font.height = -21;  // between two point sizes
    settings.font.weight = 300;  // light: no style entry of its own
    settings.font.italic = 1;
    settings.font.underline = 1;
    settings.font.charSet = 0;
    settings.font.quality = 4;
    settings.font.pitchAndFamily = 0x12;
    settings.font.faceName = QStringLiteral("DejaVu Serif");
    settings.textColour = qRgb(10, 20, 30);
    settings.shadowColour = qRgb(40, 50, 60);
    settings.highlightColour = qRgb(250, 240, 230);
    settings.text = QStringLiteral("First line\nR & D");
    settings.center = 1;
    settings.dropShadow = 0;
    settings.outline = 1;
    return settings;
}

int countColour(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(TextDialog, ShowsTheProgramsTexts) {
    CTextDlg dialog(sampleSettings());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Font"));
    EXPECT_EQ(dialog.centerBox()->text(), QStringLiteral("&Center Text"));
    EXPECT_EQ(dialog.dropShadowBox()->text(), QStringLiteral("&Drop Shadow"));
    EXPECT_EQ(dialog.outlineBox()->text(), QStringLiteral("&Outline Text"));
    EXPECT_EQ(dialog.shadowColourButton()->text(), QStringLiteral("Set >>"));
    EXPECT_EQ(dialog.highlightColourButton()->text(), QStringLiteral("Set >>"));
    bool labelled = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        labelled |=
            label->text() == QStringLiteral("Enter Text:") && label->buddy() == dialog.textEdit();
    }
    EXPECT_TRUE(labelled);
}

TEST(TextDialog, SettingsLeftAloneComeBackUnchanged) {
    image::TextToolSettings odd = sampleSettings();
    odd.font.faceName = QStringLiteral("A Face Nobody Has");
    odd.font.height = 0;
    odd.font.weight = 0;
    odd.font.italic = 0;
    odd.center = 0;
    odd.dropShadow = 1;
    odd.outline = 0;
    for (const image::TextToolSettings& start : {sampleSettings(), odd}) {
        CTextDlg dialog(start);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        const image::TextToolSettings back = dialog.settings();
        EXPECT_EQ(back.font, start.font) << start.font.faceName.toStdString();
        EXPECT_EQ(back, start);
    }
}

TEST(TextDialog, ChoicesAreTakenIntoTheSettings) {
    CTextDlg dialog(sampleSettings());
    EXPECT_TRUE(dialog.centerBox()->isChecked());
    EXPECT_FALSE(dialog.dropShadowBox()->isChecked());
    EXPECT_TRUE(dialog.outlineBox()->isChecked());
    EXPECT_EQ(dialog.styleBox()->currentText(), QStringLiteral("Italic"));
    EXPECT_EQ(dialog.sizeBox()->currentText(), QStringLiteral("16"));  // 21 px at 96 dpi

    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    dialog.familyBox()->setCurrentFont(mono);
    dialog.styleBox()->setCurrentIndex(dialog.styleBox()->findText(QStringLiteral("Bold")));
    dialog.sizeBox()->setCurrentText(QStringLiteral("36"));
    dialog.textEdit()->setPlainText(QStringLiteral("one\ntwo"));
    dialog.centerBox()->setChecked(false);
    dialog.dropShadowBox()->setChecked(true);
    dialog.outlineBox()->setChecked(false);
    dialog.accept();

    const image::TextToolSettings chosen = dialog.settings();
    EXPECT_EQ(chosen.font.faceName, QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(chosen.font.weight, 700);
    EXPECT_EQ(chosen.font.italic, 0);
    EXPECT_EQ(chosen.font.height, -48);           // 36 points at 96 dpi
    EXPECT_EQ(chosen.font.pitchAndFamily, 0x11);  // fixed pitch, family kept
    EXPECT_EQ(chosen.font.underline, 1);
    EXPECT_EQ(chosen.font.quality, 4);
    EXPECT_EQ(chosen.text, QStringLiteral("one\ntwo"));
    EXPECT_EQ(chosen.center, 0);
    EXPECT_EQ(chosen.dropShadow, 1);
    EXPECT_EQ(chosen.outline, 0);
    EXPECT_EQ(image::drawTextFlags(chosen), imaging::kTextPlain | imaging::kTextDropShadow);

    // A size that is no number keeps the one the dialog started with.
    CTextDlg again(sampleSettings());
    again.sizeBox()->setCurrentText(QString());
    EXPECT_EQ(again.settings().font.height, -21);
}

TEST(TextDialog, ColourButtonsAskTheInjectedChooser) {
    image::TextToolSettings start = sampleSettings();
    start.dropShadow = 0;
    start.outline = 0;
    CTextDlg dialog(start);
    QList<QRgb> asked;
    std::optional<QRgb> answer;
    dialog.setColourChooser([&](QRgb current, const QString&, QWidget*) {
        asked << current;
        return answer;
    });

    // A colour counts only while its effect is on.
    EXPECT_FALSE(dialog.shadowColourButton()->isEnabled());
    EXPECT_FALSE(dialog.highlightColourButton()->isEnabled());
    dialog.dropShadowBox()->setChecked(true);
    dialog.outlineBox()->setChecked(true);
    ASSERT_TRUE(dialog.shadowColourButton()->isEnabled());
    ASSERT_TRUE(dialog.highlightColourButton()->isEnabled());

    answer = qRgb(1, 2, 3);
    dialog.textColourButton()->click();
    answer = qRgb(4, 5, 6);
    dialog.shadowColourButton()->click();
    answer = qRgb(7, 8, 9);
    dialog.highlightColourButton()->click();
    answer.reset();  // cancelled: nothing changes
    dialog.textColourButton()->click();

    EXPECT_EQ(asked, QList<QRgb>({start.textColour, start.shadowColour, start.highlightColour,
                                  qRgb(1, 2, 3)}));
    dialog.accept();
    const image::TextToolSettings chosen = dialog.settings();
    EXPECT_EQ(chosen.textColour, qRgb(1, 2, 3));
    EXPECT_EQ(chosen.shadowColour, qRgb(4, 5, 6));
    EXPECT_EQ(chosen.highlightColour, qRgb(7, 8, 9));
}

TEST(TextDialog, PreviewDrawsTheTextWithItsEffects) {
    image::TextToolSettings start = sampleSettings();
    start.font.faceName = QStringLiteral("DejaVu Sans");
    start.font.weight = 700;
    start.font.height = -28;
    start.textColour = qRgb(255, 0, 0);
    start.highlightColour = qRgb(0, 255, 0);
    start.shadowColour = qRgb(0, 0, 255);
    start.outline = 0;
    start.dropShadow = 0;
    CTextDlg dialog(start);
    EXPECT_GT(countColour(dialog.previewImage(), qRgb(255, 0, 0)), 20);
    EXPECT_EQ(countColour(dialog.previewImage(), qRgb(0, 255, 0)), 0);

    dialog.outlineBox()->setChecked(true);
    EXPECT_GT(countColour(dialog.previewImage(), qRgb(0, 255, 0)), 20);
    dialog.outlineBox()->setChecked(false);
    dialog.dropShadowBox()->setChecked(true);
    EXPECT_GT(countColour(dialog.previewImage(), qRgb(0, 0, 255)), 20);

    const QImage before = dialog.previewImage();
    dialog.textEdit()->setPlainText(QStringLiteral("Other words"));
    EXPECT_NE(dialog.previewImage(), before);
}

}  // namespace
