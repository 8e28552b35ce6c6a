#include "image/imageoptionsdlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

image::SaveOptions startingWith(int format, int bits) {
    image::SaveOptions options;
    options.format = format;
    options.bitsPerPixel = bits;
    return options;
}

QStringList texts(const QList<QRadioButton*>& buttons) {
    QStringList out;
    for (const QRadioButton* button : buttons) {
        out << QString(button->text()).remove(QLatin1Char('&'));
    }
    return out;
}

/// Clicks the button with `text` and returns what OK takes.
image::SaveOptions press(int format, int bits, const char* text) {
    CImageOptionsDlg dialog(*image::imageOptionsLayout(format), startingWith(format, bits));
    QAbstractButton* button = dialog.button(QString::fromUtf8(text));
    EXPECT_NE(button, nullptr) << text;
    if (button != nullptr) {
        button->click();
    }
    dialog.accept();
    return dialog.choice();
}

TEST(ImageOptionsTable, EveryCodeOpensItsDialogWithItsDepths) {
    const QStringList gif = {"1", "2", "3", "4", "5", "6", "7", "8"};
    const struct {
        QList<int> formats;
        const char* caption;
        QStringList depths;
    } rows[] = {
        {{1, 14, 56, 74, 75}, "Image Options", {"1", "4", "8", "24"}},
        {{2}, "GIF Image Options", gif},
        {{3, 87}, "TIF Image Options", gif + QStringList{"16", "24", "32"}},
        {{4}, "Image Options", {"8", "16", "24", "32"}},
        {{6, 84}, "BMP Image Options", {"1", "4", "8", "16", "24", "32"}},
        {{15}, "Image Options", {"8", "24"}},
        {{27, 28, 29, 71, 72, 73, 77, 78, 79}, "Fax Image Options", {}},
        {{54}, "Word Perfect Image Options", {"1", "4", "8"}},
        {{55}, "Image Options", {"1", "4", "8", "24", "32"}},
        {{69, 70}, "Winfax Image Options", {}},
        {{76}, "Image Options", {"1", "8", "24"}},
        {{80, 81, 82, 83}, "FlashPix Image Options", {"8", "24"}},
        {{91}, "Icon Image Options", {"1", "4", "8"}},
        {{96, 97}, "EXIF Image Options", {}},
    };
    for (const auto& row : rows) {
        for (int format : row.formats) {
            const image::ImageOptionsLayout* layout = image::imageOptionsLayout(format);
            ASSERT_NE(layout, nullptr) << format;
            CImageOptionsDlg dialog(*layout, startingWith(format, 24));
            EXPECT_EQ(dialog.windowTitle(), QString::fromLatin1(row.caption)) << format;
            EXPECT_EQ(texts(dialog.depthButtons()), row.depths) << format;
        }
    }
    // The compression dialog's codes and codes without options have no row.
    for (int format : {10, 11, 20, 98, 16, 50, 18, 92}) {
        EXPECT_EQ(image::imageOptionsLayout(format), nullptr) << format;
    }
    // Mnemonics stay unique while there are digits left.
    CImageOptionsDlg bmp(*image::imageOptionsLayout(6), startingWith(6, 24));
    QStringList labels;
    for (const QRadioButton* button : bmp.depthButtons()) {
        labels << button->text();
    }
    EXPECT_EQ(labels, QStringList({"&1", "&4", "&8", "1&6", "&24", "&32"}));
}

TEST(ImageOptionsDlg, StartsFromTheCurrentDepthAndCode) {
    CImageOptionsDlg bmp(*image::imageOptionsLayout(84), startingWith(84, 16));
    EXPECT_TRUE(bmp.depthButtons()[3]->isChecked());
    EXPECT_TRUE(bmp.checkBox()->isChecked());
    EXPECT_EQ(bmp.choice(), startingWith(84, 16));
    // A depth the dialog lacks starts at the nearest one below it.
    CImageOptionsDlg wpg(*image::imageOptionsLayout(54), startingWith(54, 24));
    EXPECT_TRUE(wpg.depthButtons()[2]->isChecked());
    CImageOptionsDlg fax(*image::imageOptionsLayout(28), startingWith(28, 1));
    EXPECT_TRUE(fax.codeButtons()[1]->isChecked());
}

TEST(ImageOptionsDlg, ChoicesGiveTheirFormatCodesAndFlags) {
    EXPECT_EQ(press(3, 24, "&PackBits Compression").format, 87);
    EXPECT_EQ(press(87, 24, "&PackBits Compression").format, 3);
    EXPECT_EQ(press(6, 24, "&RLE Compressed").format, 84);
    EXPECT_EQ(press(14, 24, "T&ype2").format, 74);
    EXPECT_EQ(press(74, 24, "&Type1").format, 14);
    EXPECT_EQ(press(27, 1, "Group 3, &2D").format, 28);
    EXPECT_EQ(press(27, 1, "&Group 4").format, 29);
    EXPECT_EQ(press(71, 1, "&Group 4").format, 73);
    EXPECT_EQ(press(79, 1, "Group 3, &1D").format, 77);
    EXPECT_EQ(press(69, 1, "Group &4").format, 70);
    EXPECT_EQ(press(96, 24, "Uncompressed &YCC").format, 97);
    EXPECT_EQ(press(97, 24, "Uncompressed &RGB").format, 96);
    EXPECT_EQ(press(80, 24, "Jpeg &Variable").format, 83);

    const image::SaveOptions gif = press(2, 8, "&Interlaced");
    EXPECT_EQ(gif.format, 2);
    EXPECT_TRUE(gif.interlaced);
    const image::SaveOptions tif = press(3, 24, "&16");
    EXPECT_EQ(tif.bitsPerPixel, 16);
    EXPECT_EQ(tif.format, 3);
}

}  // namespace
