#pragma once

#include "app/commandrouter.h"
#include "image/imageeditor.h"
#include "imaging/imagehandle.h"

#include <QAbstractScrollArea>

class CFpicDoc;
class QMdiSubWindow;
class QPrinter;
struct DocumentServices;
struct ToolModes;

/// Shows a document's picture in a scrolling window at a zoom percentage,
/// and carries the editing tools: zoom, the select rectangle with crop and
/// copy, the text and object tools, undo, wallpaper, delete, image
/// information, printing and the status-bar read-outs. The tool modes are
/// shared by all views. Selection rectangles are kept in window
/// coordinates: the picture's pixels times the zoom, before scrolling.
/// Interface thread only.
class CFpicView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CFpicView(CFpicDoc& document, QWidget* parent = nullptr);
    ~CFpicView() override;

    CFpicDoc& document() const { return m_document; }
    /// The view's commands, first in the routing chain.
    CommandMap& commands() { return m_commands; }
    image::ImageEditor& editor() { return m_editor; }

    /// The first display, once the view's frame is in the workspace: the
    /// frame fits the picture, zoomed to fit when it is too large.
    void initialUpdate();
    /// The size that shows the whole picture at the current zoom.
    QSize sizeHint() const override;
    /// The area the frame may take (from the screen at creation).
    QSize largestFrameArea() const { return m_largestArea; }

    int zoom() const { return m_zoom; }
    void setZoom(int percent);
    /// A zoom step centred on a point of the viewport.
    void zoomIn(QPoint click);
    void zoomOut(QPoint click);
    void zoomToFit();

    QRect selection() const { return m_selection; }
    /// The selection in picture pixels.
    QRect pictureSelection() const;
    /// Makes a selection (window coordinates) as the select tool would.
    void select(const QRect& window);

    /// Prints the picture on the printer's current page.
    void print(QPrinter& printer);
    /// The read-outs of the status bar for this view, blanked.
    void updateStatusPanes();
    void blankStatusPanes();
    /// The view's frame became the active one, or stopped being it: an
    /// inactive view gives up its floating text or object and blanks the
    /// read-outs.
    void setActive(bool active);

Q_SIGNALS:
    /// Painted for the first time since the picture changed.
    void pictureShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, New, Move, Resize, MoveFloating };

    DocumentServices& services() const;
    ToolModes& modes() const;
    QMdiSubWindow* frame() const;
    void installCommands();

    // Sizes and frames.
    void pictureChanged();
    void updateScrollBars();
    void fitFrame();
    void dropZoomedPicture();
    void shrinkInBackground(QSize size);
    void resizeFrame(QSize size);
    QPoint scrollPosition() const;
    QPoint toWindow(QPoint viewport) const;
    QPoint toViewport(QPoint window) const;
    QRect pictureBounds() const;
    void centreOnPicture();

    // Modes.
    void setPointer();
    void toggleSelect();
    void toggleZoom();
    void startText();
    void toggleObject();
    void leaveFloating();
    void armNewRectangle(QSize smallest);
    void zoomForTool();
    void updateCursor(QPoint viewport);
    int handleAt(QPoint viewport) const;

    // Commands.
    void copy();
    void crop();
    void undo();
    void combine();
    void pasteAsObject();
    void setSelectSize();
    void showInformation();
    void deleteFile();
    void makeWallpaper();
    void printCommand(bool preview);
    void showPopupMenu(QPoint global);
    bool runDialog(QDialog& dialog);

    void finishNewRectangle();
    void setSelection(const QRect& window);

    CFpicDoc& m_document;
    image::ImageEditor m_editor;
    CommandMap m_commands;
    int m_zoom = 100;
    QSize m_largestArea;
    QRect m_selection;
    bool m_newRectangle = false;
    QSize m_smallestNew;  // the least size of the next new rectangle, picture pixels
    bool m_shownSinceChange = false;
    bool m_statusShown = false;

    Drag m_drag = Drag::None;
    int m_dragHandle = -1;
    QPoint m_dragStart;  // window coordinates
    QRect m_dragRect;    // the selection when the drag started

    // The picture filtered down to the zoom, when below 100 %: made once per
    // zoom on a worker thread, while the view paints a sampled picture.
    imaging::ImageHandle m_zoomed;
    QSize m_shrinking;  // the size being made now
    quint64 m_zoomedGeneration = 0;
};
