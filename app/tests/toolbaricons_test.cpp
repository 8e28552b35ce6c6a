#include "app/toolbaricons.h"
#include "app/commandids.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The commands of the main toolbar.
const std::vector<int> kToolbarCommands = {
    command::kFileNew,          command::kFileOpen,      command::kFileSave,    command::kFilePrint,
    command::kEditCopy,         command::kEditPaste,     command::kEditUndo,    command::kFind,
    command::kPointer,          command::kText,          command::kZoom,        command::kWizard,
    command::kSlideShow,        command::kCreateRuntime, command::kPlayRuntime, command::kViewAlbum,
    command::kNewAlbum,         command::kEditAlbum,     command::kWallpaper,   command::kCapture,
    command::kImageInformation, command::kHelpContents,
};
// Commands whose pictures show only in the menus.
const std::vector<int> kMenuCommands = {
    command::kPreferences, command::kDelete,    command::kCrop,
    command::kAbout,       command::kFileClose, command::kAppExit,
};

std::vector<int> allCommands() {
    std::vector<int> all = kToolbarCommands;
    all.insert(all.end(), kMenuCommands.begin(), kMenuCommands.end());
    return all;
}

QImage picture(int commandId, int size) {
    return commandIcon(commandId)
        .pixmap(QSize(size, size), 1.0)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

struct Coverage {
    int opaque = 0;    // pixels with any paint
    int halfTone = 0;  // pixels only partly covered: soft edges
    QSet<QRgb> colours;
};

Coverage coverage(const QImage& image) {
    Coverage result;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            result.colours.insert(pixel);
            if (qAlpha(pixel) > 0) {
                ++result.opaque;
                if (qAlpha(pixel) < 255) {
                    ++result.halfTone;
                }
            }
        }
    }
    return result;
}

TEST(CommandIcon, EveryCommandHasAPictureAtBothSizes) {
    for (int id : allCommands()) {
        SCOPED_TRACE(id);
        const QIcon icon = commandIcon(id);
        ASSERT_FALSE(icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
        for (int size : {16, 32}) {
            SCOPED_TRACE(size);
            const QImage image = picture(id, size);
            ASSERT_EQ(image.size(), QSize(size, size));
            const Coverage cover = coverage(image);
            // A missing or broken file renders nothing or a single flat patch.
            EXPECT_GE(cover.colours.size(), 2);
            EXPECT_GE(cover.opaque, size * size / 8);
        }
    }
}

TEST(CommandIcon, PicturesStaySharpAtSixteenPixels) {
    // Strokes on half-pixel lines fill whole pixels; a picture drawn off the
    // grid turns into a blur of partly covered pixels.
    for (int id : allCommands()) {
        SCOPED_TRACE(id);
        const Coverage cover = coverage(picture(id, 16));
        ASSERT_GT(cover.opaque, 0);
        EXPECT_LT(cover.halfTone * 100 / cover.opaque, 40);
    }
}

TEST(CommandIcon, DistinctCommandsHaveDistinctPictures) {
    const std::vector<int> all = allCommands();
    for (int size : {16, 32}) {
        for (size_t i = 0; i < all.size(); ++i) {
            const QImage first = picture(all[i], size);
            for (size_t j = i + 1; j < all.size(); ++j) {
                EXPECT_NE(first, picture(all[j], size))
                    << all[i] << " and " << all[j] << " at " << size;
            }
        }
    }
}

TEST(CommandIcon, TheLargePictureIsDrawnNotEnlarged) {
    // Drawn at 32 pixels, edges are finer than a 16-pixel picture doubled.
    const QImage small = picture(command::kZoom, 16);
    const QImage doubled = small.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_NE(picture(command::kZoom, 32), doubled);
}

TEST(CommandIcon, CommandsWithoutAPictureGetAnEmptyIcon) {
    for (int id : {command::kFileSaveAs, command::kWindowTile, command::kCloseAll, 0, -1}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(commandIcon(id).isNull());
    }
}

TEST(CommandIcon, EveryPictureInTheResourceBelongsToACommand) {
    // A drawn picture that no command shows is a command whose icon was lost.
    std::vector<QImage> shown;
    for (int id : allCommands()) {
        shown.push_back(picture(id, 16));
    }
    const QDir folder(QStringLiteral(":/pixoria/icons"));
    const QStringList files = folder.entryList({QStringLiteral("*.svg")}, QDir::Files);
    EXPECT_EQ(files.size(), static_cast<qsizetype>(shown.size()));
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QSvgRenderer renderer(folder.filePath(file));
        ASSERT_TRUE(renderer.isValid());
        QImage drawn(16, 16, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, 16, 16));
        painter.end();
        const QImage compared = drawn.convertToFormat(QImage::Format_ARGB32);
        EXPECT_NE(std::find(shown.begin(), shown.end(), compared), shown.end());
    }
}

}  // namespace
