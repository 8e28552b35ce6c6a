#include "image/imageeditor.h"
#include "image/tests/workspace.h"
#include "imaging/display.h"

#include <QApplication>
#include <QClipboard>

namespace {

class Editing : public Documents {
protected:
    void SetUp() override {
        Documents::SetUp();
        document = documents->openDocument(picture("edit.png"));
        ASSERT_NE(document, nullptr);
        original = document->image().image.copy();
        editor = std::make_unique<image::ImageEditor>(*document, prompt);
    }

    QImage current() const { return document->image().image; }

    image::TextToolSettings text(const QString& words, int pixels = 14) const {
        image::TextToolSettings settings;
        settings.font.height = -pixels;
        settings.font.faceName = QStringLiteral("DejaVu Sans");
        settings.text = words;
        settings.textColour = qRgb(255, 255, 0);
        return settings;
    }

    CFpicDoc* document = nullptr;
    QImage original;
    std::unique_ptr<image::ImageEditor> editor;
};

TEST_F(Editing, CropKeepsTheRectangleAndUndoBringsThePictureBack) {
    EXPECT_FALSE(editor->canUndo());
    ASSERT_TRUE(editor->crop(QRect(10, 8, 20, 15)));
    EXPECT_EQ(current().size(), QSize(20, 15));
    EXPECT_EQ(current().pixel(0, 0), original.pixel(10, 8));
    EXPECT_EQ(current().pixel(19, 14), original.pixel(29, 22));
    EXPECT_TRUE(document->isModified());
    ASSERT_TRUE(editor->canUndo());

    EXPECT_TRUE(editor->undo()) << "the size changed back";
    EXPECT_EQ(current(), original);
    EXPECT_FALSE(editor->canUndo());
    // A picture whose size changed stays marked, even back at the start.
    EXPECT_TRUE(document->isModified());

    // A rectangle reaching past the picture is clipped to it.
    ASSERT_TRUE(editor->crop(QRect(50, 40, 100, 100)));
    EXPECT_EQ(current().size(), QSize(14, 8));
    EXPECT_FALSE(editor->crop(QRect(200, 200, 5, 5))) << "nothing of the picture";
}

TEST_F(Editing, UndoTakesTheModifiedMarkBackToWhereTheEditsStarted) {
    ASSERT_FALSE(document->isModified());
    ASSERT_TRUE(editor->placeText(
        QRect(QPoint(2, 2), image::ImageEditor::textRectSize(text(QStringLiteral("Hi")))),
        text(QStringLiteral("Hi"))));
    EXPECT_NE(current(), original);
    EXPECT_TRUE(document->isModified());
    EXPECT_FALSE(editor->undo());
    EXPECT_EQ(current(), original);
    EXPECT_FALSE(document->isModified()) << "one edit undone: as clean as before";

    // Two edits, one undone: the first is still there.
    editor->placeText(QRect(2, 2, 30, 20), text(QStringLiteral("A")));
    editor->combine();
    editor->placeText(QRect(30, 20, 30, 20), text(QStringLiteral("B")));
    EXPECT_EQ(editor->undoDepth(), 2);
    editor->undo();
    EXPECT_TRUE(document->isModified());
    EXPECT_NE(current(), original);
}

TEST_F(Editing, AnAlreadyModifiedDocumentStaysModifiedAfterUndo) {
    document->setModified(true);
    editor->placeText(QRect(2, 2, 30, 20), text(QStringLiteral("A")));
    editor->undo();
    EXPECT_EQ(current(), original);
    EXPECT_TRUE(document->isModified()) << "the changes from before the edit are not saved";
}

TEST_F(Editing, CopyPutsTheSelectionOrTheWholePictureOnTheClipboard) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // A selection of 5 by 5 is a stray click: the whole picture goes.
    ASSERT_TRUE(editor->copy(QRect(3, 3, 5, 5)));
    EXPECT_EQ(clipboard->image().size(), original.size());
    ASSERT_TRUE(editor->copy(QRect()));
    EXPECT_EQ(clipboard->image().size(), original.size());

    // Larger selections go alone, raised to 24 bits from a palette picture.
    ASSERT_EQ(imaging::changeBitsPerPixel(&document->image(), 8, imaging::Dither::Ordered), 1);
    ASSERT_TRUE(editor->copy(QRect(4, 6, 7, 3)));
    imaging::ImageHandle pasted;
    ASSERT_EQ(imaging::pasteFromClipboard(&pasted), 1);
    EXPECT_EQ(pasted.image.size(), QSize(7, 3));
    EXPECT_EQ(pasted.bitsPerPixel, 24);
    EXPECT_EQ(pasted.image.pixel(0, 0), current().pixel(4, 6));
    EXPECT_FALSE(editor->canUndo()) << "copying is not an edit";
}

TEST_F(Editing, TextThatDoesNotFitIsRefusedAndMovingPutsTheBackgroundBack) {
    const image::TextToolSettings big = text(QStringLiteral("Much too long for the picture"), 40);
    const QSize size = image::ImageEditor::textRectSize(big);
    EXPECT_FALSE(editor->placeText(QRect(QPoint(0, 0), size), big));
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Text too large for image")});
    EXPECT_EQ(current(), original);
    EXPECT_FALSE(editor->canUndo());
    EXPECT_EQ(editor->floating(), image::ImageEditor::Floating::None);

    const image::TextToolSettings small = text(QStringLiteral("Hi & lo"), 10);
    const QRect first(QPoint(1, 1), image::ImageEditor::textRectSize(small));
    ASSERT_TRUE(editor->placeText(first, small));
    EXPECT_EQ(editor->floatingRect(), first);
    EXPECT_NE(current().copy(first), original.copy(first));
    ASSERT_TRUE(editor->moveFloating(QPoint(64, 48))) << "kept inside the picture";
    const QRect moved = editor->floatingRect();
    EXPECT_EQ(moved.bottomRight(), QPoint(63, 47));
    EXPECT_EQ(current().copy(first.intersected(QRect(0, 0, moved.left(), 48))),
              original.copy(first.intersected(QRect(0, 0, moved.left(), 48))))
        << "the old place shows the picture again";
    editor->combine();
    EXPECT_EQ(editor->floating(), image::ImageEditor::Floating::None);
    EXPECT_NE(current().copy(moved), original.copy(moved));
}

TEST_F(Editing, ALiftedObjectMovesAsACopyOverThePicture) {
    ASSERT_TRUE(editor->liftObject(QRect(0, 0, 10, 10)));
    EXPECT_EQ(editor->floating(), image::ImageEditor::Floating::Object);
    ASSERT_TRUE(editor->moveFloating(QPoint(30, 20)));
    EXPECT_EQ(current().copy(30, 20, 10, 10), original.copy(0, 0, 10, 10));
    EXPECT_EQ(current().copy(0, 0, 10, 10), original.copy(0, 0, 10, 10));
    // Moving on puts back what the object covered.
    ASSERT_TRUE(editor->moveFloating(QPoint(50, 30)));
    EXPECT_EQ(current().copy(30, 20, 10, 10), original.copy(30, 20, 10, 10));
    editor->dropFloating();
    EXPECT_EQ(current(), original);
}

TEST_F(Editing, PastingAnObjectLargerThanThePictureChangesNothing) {
    QImage large(100, 100, QImage::Format_RGB32);
    large.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(large);
    EXPECT_FALSE(editor->pasteObject(QPoint(0, 0)));
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Object too large for image")});
    EXPECT_EQ(current(), original);
    EXPECT_FALSE(editor->canUndo());
    EXPECT_EQ(editor->floating(), image::ImageEditor::Floating::None);
}

TEST_F(Editing, APastedPaletteObjectIsRaisedAndFloatsWhereAsked) {
    QImage small(6, 4, QImage::Format_Indexed8);
    small.setColorTable({qRgb(0, 0, 255), qRgb(255, 0, 0)});
    small.fill(1);
    QGuiApplication::clipboard()->setImage(small);
    ASSERT_TRUE(editor->pasteObject(QPoint(62, 10))) << "moved inside the picture";
    EXPECT_EQ(document->floatingObject().bitsPerPixel, 24);
    EXPECT_EQ(editor->floatingRect(), QRect(58, 10, 6, 4));
    EXPECT_EQ(QColor(current().pixel(60, 12)), QColor(Qt::red));
    EXPECT_EQ(current().pixel(57, 12), original.pixel(57, 12));
    EXPECT_TRUE(editor->canUndo());
    editor->undo();
    EXPECT_EQ(current(), original);
}

}  // namespace
