// Pixoria: the application object over the subsystem libraries.
#include "app/appcommands.h"
#include "app/fpicapp.h"
#include "app/helpwindow.h"
#include "app/mainframe.h"
#include "app/recentfiles.h"
#include "crypt/passworddlg.h"
#include "image/documentcommands.h"
#include "image/documentmanager.h"
#include "image/filechooser.h"
#include "image/flashpixdlg.h"
#include "imaging/photocd.h"
#include "platform/prompt.h"
#include "platform/soundservice.h"
#include "search/thumbnailer.h"
#include "search/thumbnailsearch.h"
#include "search/thumbnailwindows.h"
#include "slideshow/slideshowcommand.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <utility>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Zelvik Technologies"));
    QApplication::setApplicationName(QStringLiteral("Pixoria"));
    QApplication::setDesktopFileName(QStringLiteral("pixoria"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    QtPromptService prompt;
    CFpicApp app({QApplication::applicationDirPath(), QString(), arguments}, prompt);
    image::DialogFileChooser chooser(prompt);

    DocumentServices services(app, chooser);
    services.askFlashPixResolution = [&app](const QList<QSize>& sizes) {
        CFlashPixDlg dialog(sizes, app.mainFrame());
        return dialog.exec() == QDialog::Accepted ? dialog.chosen() : -1;
    };
    services.setPassword = [&app] {
        runSetPasswordCommand(app.encryptionPassword(), app.prompt(), app.mainFrame());
    };
    services.showMainWindow = [&app](bool visible) {
        if (CMainFrame* frame = app.mainFrame()) {
            frame->setVisible(visible);
        }
    };
    services.wait = [](int milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    };
    image::DocumentManager documents(app, services);

    SubsystemEntryPoints& entry = app.entryPoints();
    entry.fileCheck = [&app](const QString& path) { return image::runFileCheck(app, path); };
    entry.openDocumentFile = [&app, &documents](const QString& path) {
        return image::openDocumentEntry(app, documents, path) != nullptr;
    };
    entry.openSlideShowDialog = [&app] { slideshow::openSlideShowDialog(app); };
    entry.setPhotoCdResolution = imaging::setPhotoCdResolution;

    search::Thumbnailer thumbnailer;
    search::ThumbnailWindows thumbnailWindows(app, thumbnailer);
    search::ThumbnailSearch thumbnailSearch(app, thumbnailWindows);
    // The search at start-up runs without the dialog; the Find command
    // always asks.
    bool startupSearchDue = true;
    entry.runFind = [&app, &thumbnailSearch, &startupSearchDue] {
        const bool automatic = std::exchange(startupSearchDue, false) && app.thumbOnThisStart();
        thumbnailSearch.run(automatic);
    };
    entry.showThumbnailWindows = [&thumbnailWindows](bool visible) {
        thumbnailWindows.showAll(visible);
    };
    // SANE may take seconds to probe its backends: the connection opens on a
    // worker thread, and Acquire is enabled when it is there.
    entry.openScannerConnection = [&app] {
        app.scanner().openConnectionInBackground(
            [&app](int handle) { app.setScannerConnection(handle); });
        return 0;
    };

    if (!app.initInstance()) {
        return 1;
    }
    CMainFrame* frame = app.mainFrame();
    prompt.setParentWindow(frame);
    chooser.setParentWindow(frame);

    CommandRouter router([&app, &documents] { return image::commandChain(app, documents); });
    services.router = &router;
    installApplicationCommands(app);
    image::installDocumentCommands(app, documents, chooser, services);
    frame->installCommands(router, [&app] { return app.recentFiles().paths(); });

    std::unique_ptr<CHelpWindow> help;
    frame->setHelpHandler([&help](int topic) {
        if (!help) {
            help = std::make_unique<CHelpWindow>();
        }
        if (topic == CMainFrame::kHelpContentsTopic) {
            help->showContents();
        } else if (topic == CMainFrame::kHelpIndexTopic) {
            help->showIndex();
        } else {
            help->showTopic(topic);
        }
    });
    const int result = app.exitInstance(QApplication::exec());
    SoundService::instance().shutdown();
    return result;
}
