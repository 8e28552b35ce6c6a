#include "image/placeholders.h"

#include "imaging/errors.h"

#include <QPainter>
#include <QPainterPath>

namespace image {

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;

void drawPadlock(QPainter& painter) {
    painter.setPen(QPen(QColor(70, 80, 110), 7, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(78, 30, 44, 50), 0, 180 * 16);
    painter.drawLine(QPointF(78, 55), QPointF(78, 66));
    painter.drawLine(QPointF(122, 55), QPointF(122, 66));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 184, 107));
    painter.drawRoundedRect(QRectF(66, 64, 68, 52), 8, 8);
    painter.setBrush(QColor(70, 80, 110));
    painter.drawEllipse(QPointF(100, 84), 6, 6);
    painter.drawRect(QRectF(97, 86, 6, 16));
}

void drawTornPhoto(QPainter& painter) {
    painter.setPen(QPen(QColor(120, 120, 130), 2));
    painter.setBrush(Qt::white);
    QPainterPath left;
    left.moveTo(50, 35);
    left.lineTo(98, 35);
    left.lineTo(92, 60);
    left.lineTo(102, 82);
    left.lineTo(94, 115);
    left.lineTo(50, 115);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(106, 38);
    right.lineTo(152, 38);
    right.lineTo(152, 118);
    right.lineTo(100, 118);
    right.lineTo(108, 85);
    right.lineTo(98, 63);
    right.closeSubpath();
    painter.drawPath(left);
    painter.drawPath(right);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(91, 58, 110));
    painter.drawPolygon(QPolygonF({QPointF(56, 108), QPointF(74, 80), QPointF(90, 100), QPointF(92, 108)}));
    painter.drawPolygon(QPolygonF({QPointF(106, 111), QPointF(124, 78), QPointF(146, 111)}));
    painter.setBrush(QColor(255, 184, 107));
    painter.drawEllipse(QPointF(132, 58), 8, 8);
}

}  // namespace

int makePlaceholder(Placeholder which, imaging::ImageHandle* handle) {
    QImage picture(kWidth, kHeight, QImage::Format_RGB888);
    picture.fill(QColor(232, 234, 240));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    if (which == Placeholder::Encrypted) {
        drawPadlock(painter);
    } else {
        drawTornPhoto(painter);
    }
    painter.end();
    return imaging::handleFromQImage(picture, handle);
}

}  // namespace image
