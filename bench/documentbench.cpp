// document-bench: the time from opening a 24-megapixel JPEG by name (the
// path every open takes: file check, document, frame and view) until its
// view has painted the picture, against the imaging interface's bare
// decode of the same file in the same run; then zooming and repainting the
// view, against Qt's own drawing of the same area. Runs on the offscreen
// platform.
//
//   document-bench [--runs N] [--work DIR]
#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "bench/benchsupport.h"
#include "image/documentcommands.h"
#include "image/documentmanager.h"
#include "image/filechooser.h"
#include "image/fpicview.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "platform/prompt.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

/// Prompts and dialogs that nobody answers: the benchmark opens by name.
class SilentPrompt : public PromptService {
public:
    void message(const QString&, Icon, const QString&) override {}
    Answer ask(const QString&, Buttons, Icon, const QString&) override { return Answer::No; }
    FileResult chooseFile(const FileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};

class NoChooser : public image::FileChooser {
public:
    image::OpenChoice chooseToOpen(const image::OpenRequest&) override { return {}; }
    image::SaveChoice chooseToSave(const image::SaveRequest&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    int runs = 10;
    QTemporaryDir scratch;
    QString work = scratch.path();
    const QStringList arguments = QApplication::arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--runs")) {
            runs = std::max(1, arguments[i + 1].toInt());
        } else if (arguments[i] == QLatin1String("--work")) {
            work = arguments[i + 1];
        }
    }
    const QString photo = QDir(work).filePath(QStringLiteral("24mp.jpg"));
    {
        imaging::ImageHandle picture;
        imaging::createImage(&picture, 6000, 4000, 24);
        QRandomGenerator random(3);
        for (int y = 0; y < 4000; ++y) {
            uchar* row = picture.image.scanLine(y);
            for (int x = 0; x < 3 * 6000; ++x) {
                row[x] = static_cast<uchar>(
                    std::clamp((x / 3) * 255 / 6000 + int(random.bounded(24)) - 12, 0, 255));
            }
        }
        imaging::saveFile(photo, picture, imaging::format::kJpeg, 24);
    }

    SilentPrompt prompt;
    CFpicApp app({work, QDir(work).filePath(QStringLiteral("Pixoria.conf")), {}}, prompt);
    app.setSplashRunner([] {});
    if (!app.initInstance()) {
        return 1;
    }
    NoChooser chooser;
    DocumentServices services(app, chooser);
    image::DocumentManager documents(app, services);
    app.mainFrame()->resize(1280, 1024);

    std::vector<double> opened, decoded;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        CFpicDoc* document = image::openDocumentEntry(app, documents, photo);
        if (!document) {
            std::fprintf(stderr, "document-bench: the picture did not open\n");
            return 1;
        }
        CFpicView* view = documents.viewOf(document);
        bool shown = false;
        QObject::connect(view, &CFpicView::pictureShown, [&shown] { shown = true; });
        view->viewport()->repaint();
        while (!shown) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        opened.push_back(timer.nsecsElapsed() / 1e6);
        documents.closeDocument(document);
        QApplication::processEvents();

        timer.restart();
        imaging::ImageHandle bare;
        imaging::loadFile(photo, &bare);
        decoded.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double open = bench::median(opened);
    const double decode = bench::median(decoded);
    std::printf("open by name to the first painted view: %7.1f ms (median of %d)\n", open, runs);
    std::printf("bare decode through the imaging interface: %7.1f ms\n", decode);
    std::printf("the document and view add %.1f%% (goal: under 20%%)\n",
                100 * (open - decode) / decode);

    // Zooming the open view, and painting it again (scrolling, exposing)
    // at each zoom, against Qt drawing the same part of the picture into an
    // image of the viewport's size.
    CFpicDoc* document = image::openDocumentEntry(app, documents, photo);
    CFpicView* view = documents.viewOf(document);
    view->parentWidget()->resize(1000, 700);
    QApplication::processEvents();
    const QImage& picture = document->image().image;
    for (int percent : {25, 50, 100, 150, 400}) {
        std::vector<double> zoomed, repainted, floor;
        for (int run = 0; run < runs; ++run) {
            view->setZoom(percent == 100 ? 150 : 100);
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            view->setZoom(percent);
            view->viewport()->repaint();
            zoomed.push_back(timer.nsecsElapsed() / 1e6);
            timer.restart();
            view->viewport()->repaint();
            repainted.push_back(timer.nsecsElapsed() / 1e6);

            timer.restart();
            QImage target(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&target);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, percent != 100);
            const QSizeF source = QSizeF(target.size()) * 100.0 / percent;
            painter.drawImage(QRectF(target.rect()), picture, QRectF(QPointF(0, 0), source));
            painter.end();
            floor.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf(
            "zoom to %3d%% and paint: %6.1f ms; paint again: %5.1f ms; Qt drawing the same: %5.1f "
            "ms\n",
            percent, bench::median(zoomed), bench::median(repainted), bench::median(floor));
    }
    return 0;
}
