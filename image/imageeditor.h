#pragma once

#include "image/texttoolsettings.h"

#include <QPoint>
#include <QRect>

class CFpicDoc;
class PromptService;

namespace image {

/// The editing steps of an image view on its document's picture, with no
/// window: one level of undo, crop, copy to the clipboard, and the floating
/// layer of the text and object tools. Rectangles are in picture pixels.
/// Library errors are reported as messages and leave the picture as it was
/// before the step. Interface thread only (the clipboard belongs to it).
class ImageEditor {
public:
    enum class Floating { None, Text, Object };

    ImageEditor(CFpicDoc& document, PromptService& prompt);

    /// Copies the picture into the undo copy (replacing an older one).
    bool takeSnapshot();
    bool canUndo() const;
    /// Puts the undo copy back; true when that changed the picture's size.
    bool undo();
    int undoDepth() const { return m_undoDepth; }

    /// Crops to the rectangle, clipped to the picture; false when nothing
    /// was cropped.
    bool crop(const QRect& rect);
    /// Puts the rectangle (raised to 24 bits) on the clipboard when it is
    /// wider or taller than 6 pixels, else the whole picture; a null
    /// rectangle copies the whole picture.
    bool copy(const QRect& rect);

    /// Draws the text at the rectangle, taking it back from where it was
    /// drawn before; false (and "Text too large for image") when the
    /// rectangle does not lie inside the picture.
    bool placeText(const QRect& rect, const TextToolSettings& settings);
    /// The size of the rectangle the text needs.
    static QSize textRectSize(const TextToolSettings& settings);
    /// Lifts the rectangle of the picture as the floating object.
    bool liftObject(const QRect& rect);
    /// Floats the clipboard's picture over the picture with its top-left at
    /// `topLeft`; false (and "Object too large for image") when it is larger
    /// than the picture.
    bool pasteObject(QPoint topLeft);
    /// Moves the floating text or object so its top-left is at `topLeft`,
    /// kept inside the picture.
    bool moveFloating(QPoint topLeft);
    /// Makes the floating layer part of the picture.
    void combine();
    /// Takes the floating layer away and puts back what was under it.
    void dropFloating();

    Floating floating() const { return m_floating; }
    QRect floatingRect() const { return m_floatRect; }

private:
    bool beginEdit();
    void failEdit(int code);
    bool saveBackground(const QRect& rect);
    void restoreBackground();
    bool drawFloating(const QRect& rect);

    CFpicDoc& m_document;
    PromptService& m_prompt;
    int m_undoDepth = 0;
    bool m_sizeChanged = false;
    bool m_cleanBeforeEdits = false;  // the document's state when the first snapshot was taken
    Floating m_floating = Floating::None;
    QRect m_floatRect;
    TextToolSettings m_text;
};

}  // namespace image
