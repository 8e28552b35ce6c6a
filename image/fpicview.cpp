#include "image/fpicview.h"

#include "app/commandids.h"
#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "app/settingsstore.h"
#include "image/fileinfodlg.h"
#include "image/formats.h"
#include "image/fpicdoc.h"
#include "image/printing.h"
#include "image/sizedlg.h"
#include "image/textdlg.h"
#include "image/wallpaperdlg.h"
#include "image/zoommath.h"
#include "imaging/display.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "platform/colorref.h"
#include "platform/prompt.h"
#include "platform/wallpaper.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kHandleSize = 7;
// A selection larger than this in both directions can be cropped.
constexpr int kSmallestCrop = 7;

enum class ZoomCursor { Mode, In, Out };

/// A magnifier with a plus, a minus or nothing in its lens; the hot spot is
/// the lens's centre.
QCursor zoomCursor(ZoomCursor kind) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(17.5, 17.5), QPointF(27, 27));
    painter.drawEllipse(QPointF(11, 11), 8, 8);
    painter.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(17.5, 17.5), QPointF(27, 27));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawEllipse(QPointF(11, 11), 8, 8);
    painter.setPen(QPen(Qt::black, 2));
    if (kind != ZoomCursor::Mode) {
        painter.drawLine(QPointF(7, 11), QPointF(15, 11));
    }
    if (kind == ZoomCursor::In) {
        painter.drawLine(QPointF(11, 7), QPointF(11, 15));
    }
    painter.end();
    return QCursor(pixmap, 11, 11);
}

/// The eight handles of a rectangle: corners first (clockwise from the
/// top-left), then the middles of the top, right, bottom and left sides.
QList<QPoint> handlePoints(const QRect& r) {
    const QPoint c = r.center();
    return {r.topLeft(),
            r.topRight(),
            r.bottomRight(),
            r.bottomLeft(),
            QPoint(c.x(), r.top()),
            QPoint(r.right(), c.y()),
            QPoint(c.x(), r.bottom()),
            QPoint(r.left(), c.y())};
}

Qt::CursorShape handleCursor(int handle) {
    switch (handle) {
        case 0:
        case 2:
            return Qt::SizeFDiagCursor;
        case 1:
        case 3:
            return Qt::SizeBDiagCursor;
        case 4:
        case 6:
            return Qt::SizeVerCursor;
        default:
            return Qt::SizeHorCursor;
    }
}

/// The rectangle with the handle dragged by `delta`.
QRect resizedBy(QRect r, int handle, QPoint delta) {
    const bool left = handle == 0 || handle == 3 || handle == 7;
    const bool right = handle == 1 || handle == 2 || handle == 5;
    const bool top = handle == 0 || handle == 1 || handle == 4;
    const bool bottom = handle == 2 || handle == 3 || handle == 6;
    if (left)
        r.setLeft(r.left() + delta.x());
    if (right)
        r.setRight(r.right() + delta.x());
    if (top)
        r.setTop(r.top() + delta.y());
    if (bottom)
        r.setBottom(r.bottom() + delta.y());
    return r.normalized();
}

image::TextToolSettings textSettings(CFpicApp& app) {
    image::TextToolSettings settings;
    const TextStyle& style = app.textStyle();
    settings.font = style.font;
    settings.textColour = toQColor(style.textColour).rgb();
    settings.shadowColour = toQColor(style.shadowColour).rgb();
    settings.highlightColour = toQColor(style.highlightColour).rgb();
    settings.text = app.toolText();
    settings.center = app.textFlags().center;
    settings.dropShadow = app.textFlags().dropShadow;
    settings.outline = app.textFlags().outline;
    return settings;
}

void storeTextSettings(CFpicApp& app, const image::TextToolSettings& settings) {
    TextStyle& style = app.textStyle();
    style.font = settings.font;
    style.textColour = toColorRef(QColor::fromRgb(settings.textColour));
    style.shadowColour = toColorRef(QColor::fromRgb(settings.shadowColour));
    style.highlightColour = toColorRef(QColor::fromRgb(settings.highlightColour));
    app.setToolText(settings.text);
    app.textFlags() = {settings.center, settings.dropShadow, settings.outline};
    SettingsStore& store = app.settings();
    store.write(prefs::text::kCenter, settings.center);
    store.write(prefs::text::kDropShadow, settings.dropShadow);
    store.write(prefs::text::kOutline, settings.outline);
}

}  // namespace

CFpicView::CFpicView(CFpicDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_document(document),
      m_editor(document, document.services().app.prompt()) {
    setObjectName(QStringLiteral("CFpicView"));
    setFrameShape(QFrame::NoFrame);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(true);
    const CFpicApp& app = document.services().app;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = app.screen().width > 0 ? QSize(app.screen().width, app.screen().height)
                             : screen               ? screen->size()
                                                    : QSize(1024, 768);
    m_largestArea = image::zoom::largestFrameArea(screenSize);
    connect(&document, &CFpicDoc::imageChanged, this, &CFpicView::pictureChanged);
    // The display preferences changed: the picture is drawn anew.
    connect(&document.services().app, &CFpicApp::viewsUpdateRequested, viewport(),
            qOverload<>(&QWidget::update));
    installCommands();
    updateScrollBars();
}

CFpicView::~CFpicView() = default;

DocumentServices& CFpicView::services() const {
    return m_document.services();
}

ToolModes& CFpicView::modes() const {
    return services().toolModes;
}

QMdiSubWindow* CFpicView::frame() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void CFpicView::installCommands() {
    using namespace command;
    const auto always = [](CommandState*) {};
    m_commands.add(
        kEditCopy, [this] { copy(); }, always);
    m_commands.add(
        kEditUndo, [this] { undo(); },
        [this](CommandState* s) { s->enabled = m_editor.canUndo(); });
    m_commands.add(
        kSelectTool, [this] { toggleSelect(); },
        [this](CommandState* s) { s->checked = modes().select; });
    m_commands.add(
        kCrop, [this] { crop(); },
        [this](CommandState* s) {
            s->enabled = modes().select && m_selection.width() > kSmallestCrop &&
                         m_selection.height() > kSmallestCrop;
        });
    m_commands.add(
        kImageInformation, [this] { showInformation(); }, always);
    m_commands.add(
        kDelete, [this] { deleteFile(); },
        [this](CommandState* s) { s->enabled = m_document.hasFile(); });
    m_commands.add(
        kSetSelectSize, [this] { setSelectSize(); }, always);
    m_commands.add(
        kZoom, [this] { toggleZoom(); }, [this](CommandState* s) { s->checked = modes().zoom; });
    m_commands.add(
        kPointer, [this] { setPointer(); },
        [this](CommandState* s) { s->checked = !modes().any(); });
    m_commands.add(
        kText, [this] { startText(); }, [this](CommandState* s) { s->checked = modes().text; });
    m_commands.add(
        kObjectMode, [this] { toggleObject(); },
        [this](CommandState* s) { s->checked = modes().object; });
    m_commands.add(
        kCombineText, [this] { combine(); },
        [this](CommandState* s) {
            s->enabled = (modes().text || modes().object) &&
                         m_editor.floating() != image::ImageEditor::Floating::None;
        });
    m_commands.add(
        kPasteAsObject, [this] { pasteAsObject(); },
        [this](CommandState* s) {
            s->enabled = imaging::clipboardHasImage() && !modes().text &&
                         m_document.image().bitsPerPixel == 24;
        });
    m_commands.add(
        kWallpaper, [this] { makeWallpaper(); }, always);
    m_commands.add(
        kFilePrint, [this] { printCommand(false); }, always);
    m_commands.add(
        kFilePrintPreview, [this] { printCommand(true); }, always);
}

// --- Sizes and frames ------------------------------------------------------

QSize CFpicView::sizeHint() const {
    return image::zoom::zoomedSize(m_document.image().image.size(), m_zoom);
}

QPoint CFpicView::scrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPoint CFpicView::toWindow(QPoint viewport) const {
    return viewport - pictureBounds().topLeft();
}

QPoint CFpicView::toViewport(QPoint window) const {
    return window + pictureBounds().topLeft();
}

QRect CFpicView::pictureBounds() const {
    // In the slide show the picture sits in the middle of the window.
    const QSize size = sizeHint();
    QPoint origin = -scrollPosition();
    if (services().app.modes().slideShow) {
        origin.setX(std::max(origin.x(), (viewport()->width() - size.width()) / 2));
        origin.setY(std::max(origin.y(), (viewport()->height() - size.height()) / 2));
    }
    return QRect(origin, size);
}

void CFpicView::updateScrollBars() {
    const QSize picture = sizeHint();
    // Judged without the scroll bars first: they must not keep themselves.
    const QSize whole = maximumViewportSize();
    const QSize area = picture.width() <= whole.width() && picture.height() <= whole.height()
                           ? whole
                           : viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, picture.width() - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, picture.height() - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setPageStep(area.height());
}

void CFpicView::pictureChanged() {
    m_shownSinceChange = false;
    dropZoomedPicture();
    updateScrollBars();
    viewport()->update();
}

void CFpicView::fitFrame() {
    QMdiSubWindow* child = frame();
    if (!child || !child->mdiArea() || child->isMaximized() || services().app.modes().slideShow) {
        return;
    }
    const QSize picture = sizeHint();
    if (!image::zoom::fits(m_document.image().image.size(), m_zoom, m_largestArea)) {
        return;
    }
    // The frame's own border and title come on top of the picture. The
    // frame only ever shrinks here; it grows when the user makes it.
    const QSize decoration = child->size() - size();
    const QSize area = child->mdiArea()->viewport()->size();
    child->resize((picture + decoration)
                      .boundedTo(area)
                      .boundedTo(child->size())
                      .expandedTo(QSize(160, 120)));
}

void CFpicView::resizeFrame(QSize size) {
    QMdiSubWindow* child = frame();
    if (!child || !child->mdiArea()) {
        return;
    }
    const QSize area = child->mdiArea()->viewport()->size();
    child->resize(size.boundedTo(area));
    // A frame that grew past the workspace's edge moves back inside it.
    QPoint at = child->pos();
    at.setX(std::max(0, std::min(at.x(), area.width() - child->width())));
    at.setY(std::max(0, std::min(at.y(), area.height() - child->height())));
    child->move(at);
}

void CFpicView::initialUpdate() {
    CFpicApp& app = services().app;
    QMdiSubWindow* child = frame();
    const QSize picture = m_document.image().image.size();
    m_selection = QRect();
    if (app.modes().slideShow) {
        if (child) {
            child->showMaximized();
        }
        if (!QRect(QPoint(), viewport()->size()).contains(QRect(QPoint(), picture))) {
            setZoom(image::zoom::kSmallest);
        }
        return;
    }
    if (app.modes().player || app.modes().albumView) {
        if (child) {
            child->showMinimized();
            child->hide();
        }
        return;
    }
    if (child) {
        resizeFrame(m_largestArea + (child->size() - size()));
    }
    if (image::zoom::fits(picture, 100, m_largestArea)) {
        fitFrame();
    } else if (app.display().fitFlag == 1) {
        zoomToFit();
    }
    updateScrollBars();
}

void CFpicView::setZoom(int percent) {
    percent = std::clamp(percent, image::zoom::kSmallest, image::zoom::kLargest);
    if (percent == m_zoom) {
        return;
    }
    m_zoom = percent;
    dropZoomedPicture();
    setSelection(QRect());
    updateScrollBars();
    fitFrame();
    viewport()->update();
    updateStatusPanes();
}

void CFpicView::zoomIn(QPoint click) {
    const int old = m_zoom;
    const QPoint oldScroll = scrollPosition();
    setZoom(image::zoom::stepIn(m_zoom));
    if (m_zoom != old) {
        const QPoint to =
            image::zoom::centredScroll(click, oldScroll, old, m_zoom, viewport()->size());
        horizontalScrollBar()->setValue(to.x());
        verticalScrollBar()->setValue(to.y());
    }
}

void CFpicView::zoomOut(QPoint click) {
    const int old = m_zoom;
    const QPoint oldScroll = scrollPosition();
    setZoom(image::zoom::stepOut(m_zoom));
    if (m_zoom != old) {
        const QPoint to =
            image::zoom::centredScroll(click, oldScroll, old, m_zoom, viewport()->size());
        horizontalScrollBar()->setValue(to.x());
        verticalScrollBar()->setValue(to.y());
    }
}

void CFpicView::zoomToFit() {
    setZoom(image::zoom::fitPercent(m_document.image().image.size(), m_largestArea));
}

void CFpicView::dropZoomedPicture() {
    imaging::freeImage(&m_zoomed);
    m_shrinking = QSize();
    ++m_zoomedGeneration;
}

void CFpicView::shrinkInBackground(QSize size) {
    if (m_shrinking != size) {
        return;  // the zoom or the picture changed meanwhile
    }
    // Until the filtered picture is ready the view paints the sampled one.
    const quint64 generation = ++m_zoomedGeneration;
    const imaging::ImageHandle& picture = m_document.image();
    QThreadPool::globalInstance()->start([self = QPointer<CFpicView>(this), generation, size,
                                          source = picture.image, depth = picture.bitsPerPixel] {
        imaging::ImageHandle shrunk;
        shrunk.image = source;
        shrunk.bitsPerPixel = depth;
        if (imaging::resizeImage(&shrunk, size.width(), size.height()) != 1) {
            return;
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, shrunk]() mutable {
                if (self && generation == self->m_zoomedGeneration) {
                    self->m_zoomed = std::move(shrunk);
                    self->m_shrinking = QSize();
                    self->viewport()->update();
                }
            },
            Qt::QueuedConnection);
    });
}

void CFpicView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CFpicView::scrollContentsBy(int, int) {
    viewport()->update();
}

// --- Painting --------------------------------------------------------------

void CFpicView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    CFpicApp& app = services().app;
    const DisplayValues& display = app.display();
    imaging::setDisplayMode(imaging::kDisplayOrderedDither | imaging::kDisplayFixedPalette,
                            (display.orderedDither == 1 ? imaging::kDisplayOrderedDither : 0) |
                                (display.autoPalette == 0 ? imaging::kDisplayFixedPalette : 0));
    const imaging::ImageHandle& picture = m_document.image();
    QRect bounds = pictureBounds();

    if (app.modes().slideShow) {
        painter.fillRect(viewport()->rect(), toQColor(app.textStyle().backgroundColour));
        if (app.convertSettings().mode && picture.height() > 200) {
            // A converted picture is shown at half size while the list converts.
            bounds.setSize(bounds.size() / 2);
            bounds.moveCenter(viewport()->rect().center());
        }
        if (services().paintTransition && services().paintTransition(painter, picture, bounds)) {
            return;
        }
    }
    const QRect exposed = event->rect() & bounds;
    if (m_zoom < 100 && m_zoomed.image.size() == bounds.size()) {
        imaging::paintImage(&painter, m_zoomed, exposed,
                            QRectF(exposed.translated(-bounds.topLeft())));
    } else {
        if (m_zoom < 100 && m_shrinking != bounds.size()) {
            // Started once this paint is done: Qt's smooth scaling and its
            // painting share one pool of threads.
            m_shrinking = bounds.size();
            QTimer::singleShot(0, this, [this, size = bounds.size()] { shrinkInBackground(size); });
        }
        const double scaleX = double(picture.width()) / std::max(1, bounds.width());
        const double scaleY = double(picture.height()) / std::max(1, bounds.height());
        const QPointF offset = exposed.topLeft() - bounds.topLeft();
        const QRectF source(offset.x() * scaleX, offset.y() * scaleY, exposed.width() * scaleX,
                            exposed.height() * scaleY);
        imaging::paintImage(&painter, picture, exposed, source);
    }

    if (modes().select && !m_selection.isEmpty()) {
        const QRect shown(toViewport(m_selection.topLeft()), m_selection.size());
        painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        painter.drawRect(shown.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
        painter.drawRect(shown.adjusted(0, 0, -1, -1));
        if (m_editor.floating() == image::ImageEditor::Floating::None) {
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(Qt::white);
            for (const QPoint& p : handlePoints(shown)) {
                painter.drawRect(QRect(p - QPoint(kHandleSize / 2, kHandleSize / 2),
                                       QSize(kHandleSize - 1, kHandleSize - 1)));
            }
        }
    }
    if (!m_shownSinceChange) {
        m_shownSinceChange = true;
        Q_EMIT pictureShown();
    }
}

// --- Status bar --------------------------------------------------------------

void CFpicView::updateStatusPanes() {
    CFpicApp& app = services().app;
    CMainFrame* main = app.mainFrame();
    if (!main || app.modes().player) {
        return;
    }
    const imaging::ImageHandle& picture = m_document.image();
    main->setPaneText(1, QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
    main->setPaneText(2, QStringLiteral("%1 bit").arg(picture.bitsPerPixel));
    main->setPaneText(3, QStringLiteral("%1 %2").arg(m_zoom).arg(QLatin1Char('%')));
    if (modes().select && m_drag != Drag::None) {
        const QRect selected = pictureSelection();
        main->setPaneText(
            4,
            QStringLiteral("Rectangle Size: %1 x %2").arg(selected.width()).arg(selected.height()));
    } else {
        main->setPaneText(4, QStringLiteral("size in memory: %1 bytes")
                                 .arg(image::imageSizeInMemory(picture.width(), picture.height(),
                                                               picture.bitsPerPixel)));
    }
    const int files = app.openFiles().count() - app.openFiles().untitledCount();
    main->setPaneText(
        5, files == 1 ? QStringLiteral("1 File") : QStringLiteral("%1 Files").arg(files));
    m_statusShown = true;
}

void CFpicView::setActive(bool active) {
    if (active) {
        updateStatusPanes();
        return;
    }
    if (m_editor.floating() != image::ImageEditor::Floating::None) {
        m_editor.dropFloating();
        setSelection(QRect());
    }
    if (m_statusShown) {
        blankStatusPanes();
    }
}

void CFpicView::blankStatusPanes() {
    CFpicApp& app = services().app;
    CMainFrame* main = app.mainFrame();
    if (!main || app.modes().player || app.convertSettings().mode) {
        return;
    }
    for (int pane = 1; pane <= CMainFrame::kReadoutPanes; ++pane) {
        main->setPaneText(pane, CFpicApp::kBlankPaneText);
    }
    m_statusShown = false;
}

// --- Modes -----------------------------------------------------------------

void CFpicView::leaveFloating() {
    if (m_editor.floating() != image::ImageEditor::Floating::None) {
        m_editor.combine();
        viewport()->update();
    }
}

void CFpicView::setSelection(const QRect& window) {
    m_selection = window;
    if (window.isEmpty()) {
        imaging::removeRegion(&m_document.image());
    } else {
        imaging::setRegion(&m_document.image(), pictureSelection());
    }
    viewport()->update();
}

void CFpicView::armNewRectangle(QSize smallest) {
    m_newRectangle = true;
    m_smallestNew = smallest;
    setSelection(QRect());
}

void CFpicView::setPointer() {
    leaveFloating();
    modes() = ToolModes{};
    setSelection(QRect());
    updateCursor(QPoint(-1, -1));
    updateStatusPanes();
}

void CFpicView::toggleSelect() {
    ToolModes& m = modes();
    if (m.select) {
        leaveFloating();
        m = ToolModes{};
        setSelection(QRect());
    } else {
        m.select = true;
        m.zoom = false;
        m.text = false;
        const ToolValues& tools = services().app.toolValues();
        armNewRectangle(QSize(tools.rectWidth, tools.rectHeight));
    }
    updateCursor(QPoint(-1, -1));
    updateStatusPanes();
}

void CFpicView::toggleZoom() {
    ToolModes& m = modes();
    leaveFloating();
    const bool on = !m.zoom;
    m = ToolModes{};
    m.zoom = on;
    setSelection(QRect());
    updateCursor(QPoint(-1, -1));
    updateStatusPanes();
}

void CFpicView::zoomForTool() {
    if (image::zoom::fits(m_document.image().image.size(), 100, m_largestArea)) {
        setZoom(100);
    } else {
        zoomToFit();
    }
}

void CFpicView::startText() {
    ToolModes& m = modes();
    leaveFloating();
    m = ToolModes{};
    m.text = true;
    CFpicApp& app = services().app;
    CTextDlg dialog(textSettings(app), this);
    if (!runDialog(dialog)) {
        setPointer();
        return;
    }
    const image::TextToolSettings chosen = dialog.settings();
    storeTextSettings(app, chosen);
    zoomForTool();
    m.select = true;
    armNewRectangle(image::ImageEditor::textRectSize(chosen));
    updateCursor(QPoint(-1, -1));
    updateStatusPanes();
}

void CFpicView::toggleObject() {
    ToolModes& m = modes();
    if (m.object) {
        leaveFloating();
        m = ToolModes{};
        setSelection(QRect());
    } else {
        leaveFloating();
        zoomForTool();
        m = ToolModes{};
        m.object = true;
        m.select = true;
        const ToolValues& tools = services().app.toolValues();
        armNewRectangle(QSize(tools.rectWidth, tools.rectHeight));
    }
    updateCursor(QPoint(-1, -1));
    updateStatusPanes();
}

void CFpicView::updateCursor(QPoint at) {
    const ToolModes& m = modes();
    if (m.zoom) {
        static const QCursor cursor = zoomCursor(ZoomCursor::Mode);
        viewport()->setCursor(cursor);
        return;
    }
    if (!m.select) {
        viewport()->unsetCursor();
        return;
    }
    const QRect shown(toViewport(m_selection.topLeft()), m_selection.size());
    if (m_editor.floating() != image::ImageEditor::Floating::None) {
        viewport()->setCursor(shown.contains(at) ? Qt::SizeAllCursor : Qt::CrossCursor);
        return;
    }
    const int handle = handleAt(at);
    if (handle >= 0) {
        viewport()->setCursor(handleCursor(handle));
    } else if (!m_selection.isEmpty() && shown.contains(at)) {
        viewport()->setCursor(Qt::SizeAllCursor);
    } else {
        viewport()->setCursor(Qt::CrossCursor);
    }
}

int CFpicView::handleAt(QPoint at) const {
    if (m_selection.isEmpty()) {
        return -1;
    }
    const QRect shown(toViewport(m_selection.topLeft()), m_selection.size());
    const QList<QPoint> points = handlePoints(shown);
    for (int i = 0; i < points.size(); ++i) {
        if (QRect(points[i] - QPoint(kHandleSize / 2, kHandleSize / 2),
                  QSize(kHandleSize, kHandleSize))
                .contains(at)) {
            return i;
        }
    }
    return -1;
}

// --- Mouse -----------------------------------------------------------------

QRect CFpicView::pictureSelection() const {
    return image::zoom::toPicture(m_selection, m_zoom);
}

void CFpicView::select(const QRect& window) {
    m_drag = Drag::New;
    m_dragStart = window.topLeft();
    m_selection = window.normalized();
    finishNewRectangle();
}

void CFpicView::mousePressEvent(QMouseEvent* event) {
    const ToolModes& m = modes();
    const QPoint at = event->position().toPoint();
    if (m.zoom) {
        static const QCursor in = zoomCursor(ZoomCursor::In);
        static const QCursor out = zoomCursor(ZoomCursor::Out);
        if (event->button() == Qt::LeftButton) {
            viewport()->setCursor(in);
            zoomIn(at);
        } else if (event->button() == Qt::RightButton) {
            viewport()->setCursor(out);
            zoomOut(at);
        }
        return;
    }
    if (event->button() != Qt::LeftButton || !m.select) {
        return;
    }
    const QPoint window = toWindow(at);
    m_dragStart = window;
    m_dragRect = m_selection;
    const QRect shown(toViewport(m_selection.topLeft()), m_selection.size());
    if (m_editor.floating() != image::ImageEditor::Floating::None) {
        if (shown.contains(at)) {
            m_drag = Drag::MoveFloating;
        } else {
            // A click beside the floating layer moves it there.
            m_editor.moveFloating(
                image::zoom::toPicture(QRect(window, QSize(1, 1)), m_zoom).topLeft());
            m_selection = image::zoom::toWindow(m_editor.floatingRect(), m_zoom);
            viewport()->update();
        }
    } else if (m.text && m_newRectangle) {
        // The text goes where the click is, in a rectangle of its size.
        const QRect rect(image::zoom::toPicture(QRect(window, QSize(1, 1)), m_zoom).topLeft(),
                         m_smallestNew);
        if (m_editor.placeText(rect, textSettings(services().app))) {
            m_newRectangle = false;
            m_selection = image::zoom::toWindow(m_editor.floatingRect(), m_zoom);
            viewport()->update();
        }
    } else if (const int handle = handleAt(at); handle >= 0 && !m_newRectangle) {
        m_drag = Drag::Resize;
        m_dragHandle = handle;
    } else if (!m_newRectangle && shown.contains(at)) {
        m_drag = Drag::Move;
    } else {
        m_drag = Drag::New;
        m_selection = QRect(window, QSize(1, 1));
        viewport()->update();
    }
    updateStatusPanes();
}

void CFpicView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_drag == Drag::None) {
        updateCursor(at);
        return;
    }
    const QPoint window = toWindow(at);
    const QPoint delta = window - m_dragStart;
    switch (m_drag) {
        case Drag::New:
            m_selection = QRect(m_dragStart, window).normalized();
            break;
        case Drag::Move:
            m_selection = m_dragRect.translated(delta);
            break;
        case Drag::Resize:
            m_selection = resizedBy(m_dragRect, m_dragHandle, delta);
            break;
        case Drag::MoveFloating: {
            const QRect moved = m_dragRect.translated(delta);
            m_editor.moveFloating(image::zoom::toPicture(moved, m_zoom).topLeft());
            m_selection = image::zoom::toWindow(m_editor.floatingRect(), m_zoom);
            break;
        }
        case Drag::None:
            break;
    }
    viewport()->update();
    updateStatusPanes();
}

void CFpicView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && !modes().zoom) {
        showPopupMenu(event->globalPosition().toPoint());
        return;
    }
    if (modes().zoom) {
        updateCursor(event->position().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_drag == Drag::New) {
        finishNewRectangle();
    } else if (m_drag == Drag::Move || m_drag == Drag::Resize) {
        setSelection(m_selection);
    }
    m_drag = Drag::None;
    updateCursor(event->position().toPoint());
    updateStatusPanes();
}

void CFpicView::finishNewRectangle() {
    m_drag = Drag::None;
    // At least the initial size, clipped to the picture.
    const QSize picture = m_document.image().image.size();
    const QSize smallest =
        image::zoom::toWindow(QRect(QPoint(), m_smallestNew.boundedTo(picture)), m_zoom).size();
    QRect rect = m_selection.normalized();
    rect.setSize(rect.size().expandedTo(smallest));
    rect &= QRect(QPoint(), sizeHint());
    m_newRectangle = false;
    setSelection(rect);
    if (modes().object && !rect.isEmpty() && m_editor.liftObject(pictureSelection())) {
        m_selection = image::zoom::toWindow(m_editor.floatingRect(), m_zoom);
    }
}

// --- Commands --------------------------------------------------------------

bool CFpicView::runDialog(QDialog& dialog) {
    return services().runDialog ? services().runDialog(dialog) : dialog.exec() == QDialog::Accepted;
}

void CFpicView::copy() {
    const ToolModes& m = modes();
    m_editor.copy(m.select && !m.text ? pictureSelection() : QRect());
}

void CFpicView::crop() {
    if (!m_editor.crop(pictureSelection())) {
        return;
    }
    modes().select = false;
    m_selection = QRect();
    pictureChanged();
    fitFrame();
    updateStatusPanes();
}

void CFpicView::undo() {
    const bool resized = m_editor.undo();
    m_selection = QRect();
    pictureChanged();
    if (resized) {
        initialUpdate();
    }
    updateStatusPanes();
}

void CFpicView::combine() {
    m_editor.combine();
    modes() = ToolModes{};
    setSelection(QRect());
    updateStatusPanes();
}

void CFpicView::pasteAsObject() {
    // The object comes at the top-left of the visible part of the picture.
    const QPoint visible = scrollPosition() * 100 / m_zoom;
    if (!m_editor.pasteObject(visible)) {
        viewport()->update();
        return;
    }
    ToolModes& m = modes();
    m = ToolModes{};
    m.object = true;
    m.select = true;
    m_newRectangle = false;
    m_selection = image::zoom::toWindow(m_editor.floatingRect(), m_zoom);
    viewport()->update();
    updateStatusPanes();
}

void CFpicView::setSelectSize() {
    CFpicApp& app = services().app;
    ToolValues& tools = app.toolValues();
    CSizeDlg dialog(CSizeDlg::Form::SelectSize, tools.rectWidth, tools.rectHeight, QColor(), this);
    if (!runDialog(dialog)) {
        return;
    }
    tools.rectWidth = dialog.imageWidth();
    tools.rectHeight = dialog.imageHeight();
    if (dialog.saveSettings()) {
        tools.saveRect = 1;
        app.settings().write(prefs::general::kSaveRect, 1);
        app.settings().write(prefs::general::kRectWidth, tools.rectWidth);
        app.settings().write(prefs::general::kRectHeight, tools.rectHeight);
    }
}

void CFpicView::showInformation() {
    const imaging::ImageHandle& picture = m_document.image();
    image::FileInfoValues values;
    if (m_document.hasFile()) {
        values = image::FileInfoValues::fromFileInfo(m_document.pathName(), m_document.fileInfo());
    } else {
        values.name = m_document.title();
        values.formatName = image::formatName(imaging::format::kBmp);
        values.compression = QStringLiteral("None");
        values.pages = 1;
    }
    // The picture as it is now, which edits may have changed since it was read.
    values.width = picture.width();
    values.height = picture.height();
    values.bitsPerPixel = picture.bitsPerPixel;
    values.sizeInMemory =
        image::imageSizeInMemory(picture.width(), picture.height(), picture.bitsPerPixel);
    CFileInfoDlg dialog(values, this);
    runDialog(dialog);
}

void CFpicView::deleteFile() {
    if (!m_document.hasFile()) {
        return;
    }
    PromptService& prompt = services().app.prompt();
    const QString path = m_document.pathName();
    // Read-only is the file's own mark (no write permission for its owner),
    // whoever runs the program.
    const QFileInfo file(path);
    if (file.exists() && !(file.permissions() & QFileDevice::WriteOwner)) {
        prompt.message(QStringLiteral("Unable to delete: %1, file is Read Only").arg(path));
        return;
    }
    if (prompt.ask(QStringLiteral("Are you sure you want delete %1?").arg(path),
                   PromptService::Buttons::YesNo,
                   PromptService::Icon::Question) != PromptService::Answer::Yes) {
        return;
    }
    QFile victim(path);
    if (victim.exists() && !victim.remove()) {
        prompt.message(QStringLiteral("Unable to delete: %1, %2").arg(path, victim.errorString()));
        return;
    }
    m_document.setModified(false);
    if (services().closeDocument) {
        services().closeDocument(&m_document);
    }
}

void CFpicView::makeWallpaper() {
    CFpicApp& app = services().app;
    CWallpaperDlg dialog(app.settings().read(prefs::general::kTile) == 1, this);
    if (!runDialog(dialog)) {
        return;
    }
    const bool tile = dialog.tile();
    app.settings().write(prefs::general::kTile, tile ? 1 : 0);
    const QString folder = WallpaperSetter::wallpaperFolder();
    if (folder.isEmpty()) {
        app.prompt().message(QStringLiteral("Unable to determine windows directory"));
        return;
    }
    const QString name =
        m_document.hasFile() ? QFileInfo(m_document.pathName()).fileName() : m_document.title();
    const QString path = folder + WallpaperSetter::wallpaperFileName(name);
    const imaging::ImageHandle& picture = m_document.image();
    const int saved = imaging::saveFile(path, picture, imaging::format::kBmp, picture.bitsPerPixel);
    if (saved != 1) {
        image::reportImagingResult(app.prompt(), saved);
        return;
    }
    QString message;
    bool done;
    if (services().setWallpaper) {
        done = services().setWallpaper(path, tile, &message);
    } else {
        const WallpaperResult result = WallpaperSetter().setWallpaper(path, tile);
        done = result.success;
        message = result.message;
    }
    if (!message.isEmpty()) {
        app.prompt().message(
            message, done ? PromptService::Icon::Information : PromptService::Icon::Warning);
    }
}

void CFpicView::print(QPrinter& printer) {
    const int result =
        image::printPicture(printer, m_document.image(), services().app.display().fitToPage == 1);
    if (result != 1) {
        image::reportImagingResult(services().app.prompt(), result);
    }
}

void CFpicView::printCommand(bool preview) {
    QPrinter& printer = image::programPrinter();
    printer.setDocName(m_document.title());
    if (preview) {
        QPrintPreviewDialog dialog(&printer, this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [this](QPrinter* p) { print(*p); });
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        print(printer);
    }
}

void CFpicView::showPopupMenu(QPoint global) {
    CommandRouter* router = services().router;
    if (!router) {
        return;
    }
    router->updateAll();
    QMenu menu(this);
    using namespace command;
    for (int id : {kFileClose, kCombineText, kEditCopy, kDelete, kFilePrint, kWallpaper}) {
        if (QAction* action = router->action(id)) {
            menu.addAction(action);
        }
    }
    menu.exec(global);
}
