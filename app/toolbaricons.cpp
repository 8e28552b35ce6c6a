#include "app/toolbaricons.h"

#include "app/commandids.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

struct CommandPicture {
    int commandId;
    const char* fileName;
};

constexpr CommandPicture kPictures[] = {
    {command::kFileNew, "new.svg"},
    {command::kFileOpen, "open.svg"},
    {command::kFileSave, "save.svg"},
    {command::kFilePrint, "print.svg"},
    {command::kEditCopy, "copy.svg"},
    {command::kEditPaste, "paste.svg"},
    {command::kEditUndo, "undo.svg"},
    {command::kFind, "find.svg"},
    {command::kPointer, "pointer.svg"},
    {command::kText, "text.svg"},
    {command::kZoom, "zoom.svg"},
    {command::kWizard, "wizard.svg"},
    {command::kSlideShow, "slideshow.svg"},
    {command::kCreateRuntime, "create-runtime.svg"},
    {command::kPlayRuntime, "play-runtime.svg"},
    {command::kViewAlbum, "view-album.svg"},
    {command::kNewAlbum, "new-album.svg"},
    {command::kEditAlbum, "edit-album.svg"},
    {command::kWallpaper, "wallpaper.svg"},
    {command::kCapture, "capture.svg"},
    {command::kImageInformation, "image-info.svg"},
    {command::kHelpContents, "help.svg"},
    {command::kPreferences, "preferences.svg"},
    {command::kDelete, "delete.svg"},
    {command::kCrop, "crop.svg"},
    {command::kAbout, "about.svg"},
    {command::kFileClose, "close.svg"},
    {command::kAppExit, "exit.svg"},
};

// The pictures are drawn on a 16-pixel grid; rendering at exact multiples
// keeps their pixel-aligned strokes sharp instead of letting QIcon scale.
constexpr int kSizes[] = {16, 32};

QPixmap renderPicture(QSvgRenderer& renderer, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return pixmap;
}

}  // namespace

QIcon commandIcon(int commandId) {
    for (const CommandPicture& picture : kPictures) {
        if (picture.commandId != commandId) {
            continue;
        }
        QSvgRenderer renderer(QStringLiteral(":/pixoria/icons/") +
                              QString::fromLatin1(picture.fileName));
        if (!renderer.isValid()) {
            return {};
        }
        QIcon icon;
        for (int size : kSizes) {
            icon.addPixmap(renderPicture(renderer, size));
        }
        return icon;
    }
    return {};
}
