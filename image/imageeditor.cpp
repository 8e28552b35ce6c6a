#include "image/imageeditor.h"

#include "image/formats.h"
#include "image/fpicdoc.h"
#include "imaging/display.h"
#include "imaging/errors.h"
#include "imaging/textrenderer.h"
#include "platform/prompt.h"

#include <algorithm>

namespace image {

namespace {

constexpr int kTextMargin = 4;
constexpr int kShadowOffset = 2;
// A selection copies only when it is larger than a stray click.
constexpr int kSmallestCopy = 6;

QRect pictureRect(const imaging::ImageHandle& image) {
    return QRect(0, 0, image.width(), image.height());
}

/// The rectangle moved (not resized) to lie inside the picture where it can.
QRect keptInside(QRect rect, const QRect& picture) {
    rect.moveLeft(std::clamp(rect.left(), 0, std::max(0, picture.width() - rect.width())));
    rect.moveTop(std::clamp(rect.top(), 0, std::max(0, picture.height() - rect.height())));
    return rect;
}

}  // namespace

ImageEditor::ImageEditor(CFpicDoc& document, PromptService& prompt)
    : m_document(document), m_prompt(prompt) {}

bool ImageEditor::takeSnapshot() {
    if (m_undoDepth == 0) {
        m_cleanBeforeEdits = !m_document.isModified();
    }
    const int result = imaging::copyImage(&m_document.undoCopy(), m_document.image());
    if (result != 1) {
        reportImagingResult(m_prompt, result);
        return false;
    }
    ++m_undoDepth;
    return true;
}

bool ImageEditor::canUndo() const {
    return m_document.undoCopy().isAllocated();
}

bool ImageEditor::undo() {
    if (!canUndo()) {
        return false;
    }
    // The floating layer belongs to the picture being replaced.
    imaging::freeImage(&m_document.floatingObject());
    imaging::freeImage(&m_document.savedBackground());
    m_floating = Floating::None;

    imaging::ImageHandle& image = m_document.image();
    const QSize before = image.image.size();
    std::swap(image, m_document.undoCopy());
    imaging::freeImage(&m_document.undoCopy());
    imaging::removeRegion(&image);
    m_undoDepth = std::max(0, m_undoDepth - 1);
    // Back where the edits started, the document is as clean as it was then.
    m_document.setModified(!(m_undoDepth == 0 && !m_sizeChanged && m_cleanBeforeEdits));
    return image.image.size() != before;
}

void ImageEditor::failEdit(int code) {
    reportImagingResult(m_prompt, code);
    if (canUndo()) {
        imaging::copyImage(&m_document.image(), m_document.undoCopy());
    }
}

bool ImageEditor::crop(const QRect& rect) {
    imaging::ImageHandle& image = m_document.image();
    const QRect area = rect.normalized() & pictureRect(image);
    if (area.isEmpty() || !takeSnapshot()) {
        return false;
    }
    imaging::ImageHandle& scratch = m_document.scratch();
    int result =
        imaging::copyRect(&scratch, image, area.x(), area.y(), area.width(), area.height());
    if (result == 1) {
        result = imaging::copyImage(&image, scratch);
    }
    imaging::freeImage(&scratch);
    if (result != 1) {
        failEdit(result);
        return false;
    }
    imaging::removeRegion(&image);
    if (area.size() != m_document.undoCopy().image.size()) {
        m_sizeChanged = true;
    }
    m_document.setModified(true);
    return true;
}

bool ImageEditor::copy(const QRect& rect) {
    const imaging::ImageHandle& image = m_document.image();
    const QRect area = rect.normalized() & pictureRect(image);
    int result;
    if (rect.width() > kSmallestCopy || rect.height() > kSmallestCopy) {
        imaging::ImageHandle& scratch = m_document.scratch();
        result = area.isEmpty() ? imaging::kErrorInvalidParameter
                                : imaging::copyRect(&scratch, image, area.x(), area.y(),
                                                    area.width(), area.height());
        if (result == 1 && scratch.bitsPerPixel < 24) {
            result = imaging::changeBitsPerPixel(&scratch, 24, imaging::Dither::ErrorDiffusion);
        }
        if (result == 1) {
            result = imaging::copyToClipboard(scratch);
        }
        imaging::freeImage(&scratch);
    } else {
        result = imaging::copyToClipboard(image);
    }
    if (result != 1) {
        reportImagingResult(m_prompt, result);
        return false;
    }
    return true;
}

QSize ImageEditor::textRectSize(const TextToolSettings& settings) {
    const QSize block =
        imaging::textBlockSize(drawTextString(settings.text), toQFont(settings.font));
    return {std::max(1, block.width() + kTextMargin), std::max(1, block.height() + kTextMargin)};
}

bool ImageEditor::beginEdit() {
    // The first touch of a floating layer is one edit; moving it is not another.
    return m_floating != Floating::None || takeSnapshot();
}

bool ImageEditor::saveBackground(const QRect& rect) {
    const int result = imaging::copyRect(&m_document.savedBackground(), m_document.image(),
                                         rect.x(), rect.y(), rect.width(), rect.height());
    if (result != 1) {
        failEdit(result);
        return false;
    }
    return true;
}

void ImageEditor::restoreBackground() {
    if (m_document.savedBackground().isAllocated()) {
        imaging::combineImage(&m_document.image(), m_floatRect.x(), m_floatRect.y(),
                              m_document.savedBackground());
    }
}

bool ImageEditor::placeText(const QRect& rect, const TextToolSettings& settings) {
    if (!pictureRect(m_document.image()).contains(rect)) {
        m_prompt.message(QStringLiteral("Text too large for image"));
        return false;
    }
    if (!beginEdit()) {
        return false;
    }
    if (m_floating == Floating::Object) {
        combine();
    }
    m_text = settings;
    restoreBackground();
    m_floating = Floating::Text;
    return drawFloating(rect);
}

bool ImageEditor::drawFloating(const QRect& rect) {
    if (!saveBackground(rect)) {
        dropFloating();
        return false;
    }
    m_floatRect = rect;
    imaging::ImageHandle& image = m_document.image();
    int result;
    if (m_floating == Floating::Text) {
        result =
            imaging::drawText3D(&image, rect, drawTextString(m_text.text), drawTextFlags(m_text),
                                kShadowOffset, kShadowOffset, m_text.textColour,
                                m_text.shadowColour, m_text.highlightColour, toQFont(m_text.font));
    } else {
        result = imaging::combineImage(&image, rect.x(), rect.y(), m_document.floatingObject());
    }
    if (result != 1) {
        failEdit(result);
        dropFloating();
        return false;
    }
    m_document.setModified(true);
    return true;
}

bool ImageEditor::liftObject(const QRect& rect) {
    const QRect area = rect.normalized() & pictureRect(m_document.image());
    if (area.isEmpty()) {
        return false;
    }
    if (m_floating != Floating::None) {
        combine();
    }
    if (!takeSnapshot()) {
        return false;
    }
    imaging::ImageHandle& image = m_document.image();
    int result = imaging::copyRect(&m_document.floatingObject(), image, area.x(), area.y(),
                                   area.width(), area.height());
    if (result == 1) {
        result = imaging::copyRect(&m_document.savedBackground(), image, area.x(), area.y(),
                                   area.width(), area.height());
    }
    if (result != 1) {
        failEdit(result);
        dropFloating();
        return false;
    }
    m_floating = Floating::Object;
    m_floatRect = area;
    return true;
}

bool ImageEditor::pasteObject(QPoint topLeft) {
    if (m_floating != Floating::None) {
        combine();
    }
    imaging::ImageHandle& object = m_document.floatingObject();
    int result = imaging::pasteFromClipboard(&object);
    if (result != 1) {
        imaging::freeImage(&object);
        reportImagingResult(m_prompt, result);
        return false;
    }
    const QRect picture = pictureRect(m_document.image());
    if (object.width() > picture.width() || object.height() > picture.height()) {
        imaging::freeImage(&object);
        m_prompt.message(QStringLiteral("Object too large for image"));
        return false;
    }
    if (object.bitsPerPixel < 24) {
        result = imaging::changeBitsPerPixel(&object, 24, imaging::Dither::ErrorDiffusion);
        if (result != 1) {
            imaging::freeImage(&object);
            reportImagingResult(m_prompt, result);
            return false;
        }
    }
    if (!takeSnapshot()) {
        imaging::freeImage(&object);
        return false;
    }
    m_floating = Floating::Object;
    return drawFloating(keptInside(QRect(topLeft, object.image.size()), picture));
}

bool ImageEditor::moveFloating(QPoint topLeft) {
    if (m_floating == Floating::None) {
        return false;
    }
    const QRect target =
        keptInside(QRect(topLeft, m_floatRect.size()), pictureRect(m_document.image()));
    if (target == m_floatRect) {
        return true;
    }
    restoreBackground();
    return drawFloating(target);
}

void ImageEditor::combine() {
    if (m_floating == Floating::None) {
        return;
    }
    imaging::freeImage(&m_document.floatingObject());
    imaging::freeImage(&m_document.savedBackground());
    m_floating = Floating::None;
    m_document.setModified(true);
}

void ImageEditor::dropFloating() {
    if (m_floating != Floating::None) {
        restoreBackground();
    }
    imaging::freeImage(&m_document.floatingObject());
    imaging::freeImage(&m_document.savedBackground());
    m_floating = Floating::None;
}

}  // namespace image
