#include "image/zoommath.h"

#include <gtest/gtest.h>

using namespace image::zoom;

TEST(ZoomSteps, GoThroughTheFixedStepsAndStopAtTheEnds) {
    struct Step {
        int from, in, out;
    };
    const Step table[] = {
        {10, 25, 10},  {25, 33, 10},   {33, 50, 25},    {50, 66, 33},    {66, 75, 50},
        {75, 100, 66}, {100, 150, 75}, {150, 200, 100}, {550, 600, 500}, {600, 600, 550},
    };
    for (const Step& step : table) {
        EXPECT_EQ(stepIn(step.from), step.in) << "in from " << step.from;
        EXPECT_EQ(stepOut(step.from), step.out) << "out from " << step.from;
    }
    // Two steps each way from the middle of the scale.
    EXPECT_EQ(stepIn(stepIn(75)), 150);
    EXPECT_EQ(stepOut(stepOut(150)), 75);
}

TEST(ZoomToFit, SnapsDownToAStepThatShowsTheWholePicture) {
    // A 3000 by 2000 picture on a 1024 by 768 screen opens at 25 %.
    const QSize area = largestFrameArea({1024, 768});
    EXPECT_EQ(area, QSize(984, 618));
    EXPECT_EQ(fitPercent({3000, 2000}, area), 25);
    EXPECT_FALSE(fits({3000, 2000}, 33, area));
    EXPECT_TRUE(fits({3000, 2000}, 25, area));

    struct Case {
        QSize picture;
        int percent;
    };
    // The area is 1000 by 1000; a tall picture's fitted height is the area's.
    const Case table[] = {
        {{100, 1300}, 75},   // 76 % snaps to 75
        {{100, 1340}, 66},   // 74 %
        {{100, 1490}, 66},   // 67 %
        {{100, 1500}, 50},   // 66 %
        {{100, 1960}, 50},   // 51 %
        {{100, 2000}, 33},   // 50 %
        {{100, 2940}, 33},   // 34 %
        {{100, 3000}, 25},   // 33 %
        {{100, 3840}, 25},   // 26 %
        {{100, 4000}, 10},   // 25 % is below 26
        {{2000, 500}, 33},   // wide: 1000 x 500 / 2000 = 250 high, 50 %
        {{3000, 2900}, 25},  // wide and tall: 966 high, 33 %
    };
    for (const Case& c : table) {
        EXPECT_EQ(fitPercent(c.picture, {1000, 1000}), c.percent)
            << c.picture.width() << "x" << c.picture.height();
        EXPECT_TRUE(fits(c.picture, fitPercent(c.picture, {1000, 1000}), {1000, 1000}));
    }
}

TEST(ZoomScroll, BringsTheClickedPointToTheMiddle) {
    // A click at (100, 50) with nothing scrolled, 100 % to 150 %, in a
    // 400 by 300 client: 150 - 200 and 75 - 150.
    EXPECT_EQ(centredScroll({100, 50}, {0, 0}, 100, 150, {400, 300}), QPoint(-50, -75));
    // The old scroll position scales with the zoom.
    EXPECT_EQ(centredScroll({200, 150}, {100, 40}, 100, 200, {400, 300}), QPoint(400, 230));
}

TEST(ZoomCoordinates, WindowAndPictureRectanglesConvert) {
    EXPECT_EQ(toPicture(QRect(30, 60, 150, 75), 150), QRect(20, 40, 100, 50));
    EXPECT_EQ(toWindow(QRect(20, 40, 100, 50), 150), QRect(30, 60, 150, 75));
    EXPECT_EQ(toPicture(QRect(5, 5, 10, 10), 25), QRect(20, 20, 40, 40));
}

TEST(PrintLayout, FitsTwoThirdsOfThePageTurnedAndCentred) {
    const QSize page(900, 1200);
    // Wider than tall: turned, then two thirds of the width (600), 1200 high
    // would be too tall, so two thirds of the height (800) and 400 wide.
    const PrintLayout wide = printLayout({1000, 500}, page, true);
    EXPECT_TRUE(wide.rotated);
    EXPECT_EQ(wide.target, QRect(250, 200, 400, 800));
    // Taller than wide: two thirds of the width, centred.
    const PrintLayout tall = printLayout({300, 400}, page, true);
    EXPECT_FALSE(tall.rotated);
    EXPECT_EQ(tall.target, QRect(150, 200, 600, 800));
    // Small pictures grow to the same share of the page.
    EXPECT_EQ(printLayout({30, 60}, page, true).target, QRect(250, 200, 400, 800));
    // Without fitting: at its size in the top-left corner.
    const PrintLayout plain = printLayout({1000, 500}, page, false);
    EXPECT_FALSE(plain.rotated);
    EXPECT_EQ(plain.target, QRect(0, 0, 1000, 500));
}
