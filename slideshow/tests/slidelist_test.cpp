#include "slideshow/slidelist.h"

#include <gtest/gtest.h>

namespace {

TEST(SlideList, HoldsTenThousandSlidesAndRefusesMore) {
    SlideList list;
    for (int i = 0; i < SlideList::kCapacity; ++i) {
        ASSERT_TRUE(list.append(QStringLiteral("/p/%1.jpg").arg(i)));
    }
    EXPECT_TRUE(list.isFull());
    EXPECT_FALSE(list.append(QStringLiteral("/p/over.jpg")));
    EXPECT_FALSE(list.insert(0, SlideEntry{QStringLiteral("/p/over.jpg"), {}, 0}));
    EXPECT_EQ(list.count(), 10000);
    EXPECT_EQ(list.at(0).imagePath, QStringLiteral("/p/0.jpg"));
    list.removeAt(0);
    EXPECT_TRUE(list.insert(0, SlideEntry{QStringLiteral("/p/first.jpg"), {}, 0}));
    EXPECT_EQ(list.at(0).imagePath, QStringLiteral("/p/first.jpg"));
}

TEST(SlideList, DialogsNumberSlidesFromOneAndFindThemIgnoringCase) {
    SlideList list;
    list.append(SlideEntry{QStringLiteral("/p/A.jpg"), QStringLiteral("/s/a.wav"), 5});
    list.append(SlideEntry{QStringLiteral("/p/b.jpg"), QStringLiteral("/s/b.wav"), 0});
    list.slideNumber(2).transitionCode = 40;
    EXPECT_EQ(list.at(1).transitionCode, 40);

    EXPECT_EQ(list.indexOfImage(QStringLiteral("/p/a.jpg")), -1);
    EXPECT_EQ(list.indexOfImage(QStringLiteral("/p/a.jpg"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(list.indexOfImage(QStringLiteral("/p/b.jpg")), 1);

    list.move(0, 1);
    EXPECT_EQ(list.imagePaths(),
              (QStringList{QStringLiteral("/p/b.jpg"), QStringLiteral("/p/A.jpg")}));
    EXPECT_EQ(list.at(1).transitionCode, 5);
    list.clearSoundPaths();
    EXPECT_TRUE(list.at(0).soundPath.isEmpty());
    EXPECT_TRUE(list.at(1).soundPath.isEmpty());
    EXPECT_EQ(list.at(1).imagePath, QStringLiteral("/p/A.jpg"));
}

}  // namespace
