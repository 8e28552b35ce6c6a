#include "image/formats.h"
#include "platform/testing/scriptedprompt.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatNames, CodesOneToNinetyNineHaveTheirNamesOthersAreUnknown) {
    EXPECT_EQ(image::formatName(1), QStringLiteral("PCX"));
    EXPECT_EQ(image::formatName(6), QStringLiteral("Windows BMP"));
    EXPECT_EQ(image::formatName(12), QStringLiteral("Internal"));
    EXPECT_EQ(image::formatName(18), QStringLiteral("unknown"));
    EXPECT_EQ(image::formatName(40), QStringLiteral("unknown"));
    EXPECT_EQ(image::formatName(50), QStringLiteral("CALS"));
    EXPECT_EQ(image::formatName(75), QStringLiteral("Portable Network Graphic"));
    EXPECT_EQ(image::formatName(81), QStringLiteral("FlashPix, Single Color"));
    EXPECT_EQ(image::formatName(98), QStringLiteral("EXIF JPEG"));
    EXPECT_EQ(image::formatName(99), QStringLiteral("Microsoft Fax"));
    for (int code : {0, -1, 100, 1000}) {
        EXPECT_EQ(image::formatName(code), QStringLiteral("Unknown")) << code;
    }
    for (int code = 1; code <= 99; ++code) {
        EXPECT_FALSE(image::formatName(code).isEmpty()) << code;
    }
    EXPECT_EQ(image::secondFormatName(35), QStringLiteral("Portable Pixmap File"));
    EXPECT_EQ(image::secondFormatName(40), QStringLiteral("TIF Compressed"));
    EXPECT_EQ(image::secondFormatName(1), QStringLiteral("Unknown"));
}

TEST(FileFilters, OpenListHasItsFortyOneEntriesInOrder) {
    const auto& filters = image::openFilters();
    ASSERT_EQ(filters.size(), 41);
    EXPECT_EQ(filters[0].label, QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(filters[10].pattern, QStringLiteral("*.jpg;*.jff;*.jtf"));
    EXPECT_EQ(filters[39].label, QStringLiteral("X PixMap Files(*.xpm)"));
    EXPECT_EQ(filters[40].label, QStringLiteral("X Window Dump Files (*.xwd)"));
    // "OS/2 BMP Files" lists the same files as "BMP Files".
    EXPECT_EQ(filters[16].pattern, filters[1].pattern);

    const QString joined = image::openFilterString();
    EXPECT_TRUE(joined.startsWith(QStringLiteral("All Files (*.*)") + QChar(0) +
                                  QStringLiteral("*.*") + QChar(0)));
    EXPECT_EQ(joined.count(QChar(0)), 82);
    const QStringList qt = image::openNameFilters();
    EXPECT_EQ(qt[4], QStringLiteral("EXIF Files (*.jpg;*.tif) (*.jpg *.tif)"));
    EXPECT_EQ(qt[0], QStringLiteral("All Files (*.*) (*.*)"));
}

TEST(SaveTypes, TheListFixesExtensionCodeDepthAndOptions) {
    const auto& types = image::saveTypes();
    ASSERT_EQ(types.size(), 31);
    EXPECT_EQ(image::saveType(3).format, 10);
    EXPECT_EQ(image::saveType(3).extension, QStringLiteral("jpg"));
    EXPECT_EQ(image::saveType(13).format, 18);
    EXPECT_FALSE(image::saveType(13).options);
    EXPECT_EQ(image::saveType(31).label, QStringLiteral("WordPerfect File"));
    // Outside 1-31: the first entry.
    for (int index : {0, -5, 32, 1000}) {
        EXPECT_EQ(image::saveType(index).label, QStringLiteral("Windows BMP File")) << index;
    }
    EXPECT_EQ(image::saveFilterString().count(QChar(0)), 62);

    const struct {
        int type;
        int imageDepth;
        int saved;
    } depths[] = {
        {1, 16, 16},  {1, 24, 24},  {2, 4, 4},    {2, 24, 8},  {2, 32, 8},   {3, 8, 24},
        {4, 24, 1},   {6, 24, 8},   {9, 8, 8},    {9, 4, 24},  {16, 16, 24}, {20, 32, 24},
        {22, 4, 24},  {23, 32, 24}, {24, 32, 32}, {25, 4, 24}, {25, 16, 16}, {26, 4, 4},
        {26, 16, 16}, {28, 24, 8},  {28, 4, 4},   {29, 4, 24}, {31, 24, 8},
    };
    for (const auto& d : depths) {
        EXPECT_EQ(image::saveDepth(image::saveType(d.type), d.imageDepth), d.saved)
            << "type " << d.type << " image " << d.imageDepth;
    }
}

TEST(ErrorMessages, EveryCodeHasItsMessage) {
    EXPECT_TRUE(image::errorMessage(1).isEmpty());
    EXPECT_EQ(image::errorMessage(-1), QStringLiteral("Error: Not enough memory available"));
    EXPECT_EQ(image::errorMessage(-3), image::errorMessage(-1));
    EXPECT_EQ(image::errorMessage(-10), QStringLiteral("Error: File not found"));
    EXPECT_EQ(image::errorMessage(-19), QStringLiteral("Data CRC check error"));
    EXPECT_EQ(image::errorMessage(-146), QStringLiteral("LZ compressed TIF not supported"));
    EXPECT_EQ(image::errorMessage(-2), QStringLiteral("A Pixoria error has occurred.\nCODE = -2"));
    EXPECT_EQ(image::errorMessage(0), QStringLiteral("A Pixoria error has occurred.\nCODE = 0"));

    ScriptedPrompt prompt;
    EXPECT_EQ(image::reportImagingResult(prompt, 1), 1);
    EXPECT_TRUE(prompt.records().isEmpty());
    EXPECT_EQ(image::reportImagingResult(prompt, -9), -9);
    ASSERT_EQ(prompt.texts(), QStringList{"Error: Invalid file format"});
    EXPECT_EQ(prompt.records().first().buttons, PromptService::Buttons::Ok);
}

}  // namespace
