#include "image/printing.h"

#include "image/zoommath.h"
#include "imaging/display.h"
#include "imaging/errors.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>

namespace image {

namespace {

// Pictures without fitting print at the size they have on the screen.
constexpr double kScreenDotsPerInch = 96.0;

}  // namespace

QPrinter& programPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

void printSetup(QWidget* parent) {
    QPageSetupDialog dialog(&programPrinter(), parent);
    dialog.exec();
}

int printPicture(QPrinter& printer, const imaging::ImageHandle& picture, bool fitToPage) {
    if (!picture.isAllocated()) {
        return imaging::kErrorInvalidParameter;
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const zoom::PrintLayout layout =
        zoom::printLayout(picture.image.size(), page.size(), fitToPage);

    imaging::ImageHandle turned;
    const imaging::ImageHandle* printed = &picture;
    if (layout.rotated) {
        // A copy is turned, so the document's picture stays as it is.
        int result = imaging::copyImage(&turned, picture);
        if (result == 1) {
            result = imaging::rotateImage(&turned, 90);
        }
        if (result != 1) {
            return result;
        }
        printed = &turned;
    }
    QRect target = layout.target;
    if (!fitToPage) {
        const double scale = printer.resolution() / kScreenDotsPerInch;
        target.setSize(QSize(qRound(target.width() * scale), qRound(target.height() * scale)));
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return imaging::kErrorPrinter;
    }
    imaging::paintImage(&painter, *printed, target, QRectF(printed->image.rect()));
    painter.end();
    return 1;
}

}  // namespace image
