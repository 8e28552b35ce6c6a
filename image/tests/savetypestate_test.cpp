#include "image/savetypestate.h"
#include "image/formats.h"

#include <gtest/gtest.h>

namespace {

using image::SaveTypeState;

TEST(SaveTypeState, EachTypeGivesItsExtensionCodeDepthAndOptionsButton) {
    const struct {
        int index;
        const char* extension;
        int format;
        int depthOf24;  // for a 24-bit image
        int depthOf4;   // for a 4-bit image
        bool options;
    } rows[] = {
        {1, "bmp", 6, 24, 4, true},     {2, "gif", 2, 8, 4, true},
        {3, "jpg", 10, 24, 24, true},   {4, "cal", 50, 1, 1, false},
        {5, "tif", 27, 1, 1, true},     {6, "eps", 16, 8, 8, false},
        {7, "tif", 96, 24, 24, true},   {8, "jpg", 98, 24, 24, true},
        {9, "fpx", 80, 24, 24, true},   {10, "img", 52, 1, 1, false},
        {11, "ica", 77, 1, 1, true},    {12, "ica", 71, 1, 1, true},
        {13, "iff", 18, 24, 24, false}, {14, "jtf", 11, 24, 24, true},
        {15, "cmp", 20, 24, 24, true},  {16, "pct", 56, 24, 4, true},
        {17, "mac", 51, 1, 1, false},   {18, "awd", 99, 1, 1, false},
        {19, "msp", 53, 1, 1, false},   {20, "bmp", 14, 24, 4, true},
        {21, "pcx", 1, 24, 4, true},    {22, "psd", 76, 24, 24, true},
        {23, "png", 75, 24, 4, true},   {24, "ras", 55, 24, 4, true},
        {25, "tga", 4, 24, 24, true},   {26, "tif", 3, 24, 4, true},
        {27, "cur", 92, 1, 1, false},   {28, "ico", 91, 8, 4, true},
        {29, "wmf", 15, 24, 24, true},  {30, "fxs", 69, 1, 1, true},
        {31, "wpg", 54, 8, 4, true},
    };
    ASSERT_EQ(std::size(rows), size_t(image::saveTypes().size()));
    SaveTypeState full(24);
    SaveTypeState palette(4);
    for (const auto& row : rows) {
        full.apply(row.index);
        palette.apply(row.index);
        EXPECT_EQ(full.typeIndex(), row.index);
        EXPECT_EQ(full.extension(), QString::fromLatin1(row.extension)) << row.index;
        EXPECT_EQ(full.options().format, row.format) << row.index;
        EXPECT_EQ(full.options().bitsPerPixel, row.depthOf24) << row.index;
        EXPECT_EQ(palette.options().bitsPerPixel, row.depthOf4) << row.index;
        EXPECT_EQ(full.optionsEnabled(), row.options) << row.index;
    }
}

TEST(SaveTypeState, ChoiceKeepsOptionsAcrossTypesAndAppendsTheExtension) {
    SaveTypeState state(8);
    state.apply(32);  // outside the list: the first type
    EXPECT_EQ(state.typeIndex(), 1);
    image::SaveOptions options = state.options();
    EXPECT_EQ(options.qualityFactor, 20);
    options.qualityFactor = 90;
    options.interlaced = true;
    state.setOptions(options);
    state.apply(2);
    EXPECT_EQ(state.pathWithExtension(QStringLiteral("/p.d/a.")), QStringLiteral("/p.d/a.gif"));
    EXPECT_EQ(state.pathWithExtension(QStringLiteral("/p/a.bmp")), QStringLiteral("/p/a.bmp"));

    const image::SaveChoice choice = state.choice(QStringLiteral("/p.d/a"), QStringLiteral("/p.d"));
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.path, QStringLiteral("/p.d/a.gif"));
    EXPECT_EQ(choice.folder, QStringLiteral("/p.d"));
    EXPECT_EQ(choice.typeIndex, 2);
    EXPECT_EQ(choice.format, 2);
    EXPECT_EQ(choice.bitsPerPixel, 8);
    EXPECT_EQ(choice.qualityFactor, 90);
    EXPECT_TRUE(choice.interlaced);
}

TEST(SaveTypeState, DepthsTheLibraryLacksAreSavedAtTheNextItKeeps) {
    const int expected[] = {0, 1, 4, 4, 4, 8, 8, 8, 8};
    for (int bits = 1; bits <= 8; ++bits) {
        EXPECT_EQ(image::libraryDepth(bits), expected[bits]) << bits;
    }
    EXPECT_EQ(image::libraryDepth(16), 16);
}

}  // namespace
