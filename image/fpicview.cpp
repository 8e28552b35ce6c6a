#include "image/fpicview.h"

#include "image/fpicdoc.h"
#include "imaging/display.h"

#include <QPainter>
#include <QScrollBar>

CFpicView::CFpicView(CFpicDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(document) {
    setObjectName(QStringLiteral("CFpicView"));
    setFrameShape(QFrame::NoFrame);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    connect(&document, &CFpicDoc::imageChanged, this, [this] {
        m_shownSinceChange = false;
        updateScrollBars();
        viewport()->update();
    });
    updateScrollBars();
}

QSize CFpicView::sizeHint() const { return m_document.image().image.size(); }

void CFpicView::updateScrollBars() {
    const QSize picture = m_document.image().image.size();
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

void CFpicView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void CFpicView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const imaging::ImageHandle& image = m_document.image();
    const QRectF source(horizontalScrollBar()->value(), verticalScrollBar()->value(),
                        std::min(viewport()->width(), image.width()),
                        std::min(viewport()->height(), image.height()));
    imaging::paintImage(&painter, image, QRectF(QPointF(0, 0), source.size()), source);
    if (!m_shownSinceChange) {
        m_shownSinceChange = true;
        Q_EMIT pictureShown();
    }
}
