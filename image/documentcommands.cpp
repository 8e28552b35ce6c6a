#include "image/documentcommands.h"

#include "app/commandids.h"
#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "app/settingsstore.h"
#include "image/documentmanager.h"
#include "image/filecheck.h"
#include "image/filechooser.h"
#include "image/formats.h"
#include "image/fpicview.h"
#include "image/printing.h"
#include "imaging/display.h"
#include "imaging/errors.h"
#include "platform/prompt.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace image {

namespace {

bool isSlideShowFile(const QString& path) {
    return path.endsWith(QLatin1String("sld")) || path.endsWith(QLatin1String("SLD"));
}

bool isConvertFile(const QString& path) {
    return path.endsWith(QLatin1String("con")) || path.endsWith(QLatin1String("CON"));
}

/// A folder the dialogs can start in: `folder` when it exists, else the
/// picture folder.
QString existingFolder(CFpicApp& app, const QString& folder) {
    return QFileInfo(folder).isDir() ? folder : app.folders().windows;
}

void openSlideShowFile(CFpicApp& app, const QString& path) {
    app.setCurrentSlideShowFile(path);
    if (app.entryPoints().openSlideShowDialog) {
        app.entryPoints().openSlideShowDialog();
    }
    app.setCurrentSlideShowFile(kEmptyFileName);
    app.addToRecentFileList(path);
}

}  // namespace

int runFileCheck(CFpicApp& app, const QString& path) {
    const FileCheck check = checkFile(path);
    app.fileCheckFlags().encrypted = check.encrypted;
    app.fileCheckFlags().secondLibrary = check.secondLibrary;
    return check.result;
}

CFpicDoc* openDocumentEntry(CFpicApp& app, DocumentManager& documents, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!app.modes().slideShow) {
            app.prompt().message(QStringLiteral("File not Found: %1").arg(path));
        }
        return nullptr;
    }
    file.close();
    if (runFileCheck(app, path) == 1) {
        return documents.openDocument(path);
    }
    if (isSlideShowFile(path)) {
        openSlideShowFile(app, path);
        return nullptr;
    }
    if (isConvertFile(path)) {
        app.addToRecentFileList(path);
        return nullptr;
    }
    app.prompt().message(QStringLiteral("Invalid File Format: %1").arg(path));
    return nullptr;
}

void fileOpenCommand(CFpicApp& app, DocumentManager& documents, FileChooser& chooser) {
    SettingsStore& settings = app.settings();
    const bool player = app.modes().player;
    const bool slideShow = app.modes().slideShow;
    OpenRequest request;
    request.title = QStringLiteral("Open");
    request.folder = existingFolder(app, player      ? settings.read(prefs::runtime::kDirectory)
                                         : slideShow ? settings.read(prefs::slideshow::kDirectory)
                                                     : app.lastFolders().open);
    request.filterIndex = settings.read(prefs::general::kLastExt);
    const OpenChoice choice = chooser.chooseToOpen(request);
    if (!choice.accepted) {
        return;
    }
    settings.write(prefs::general::kLastExt, choice.filterIndex);
    if (player || slideShow) {
        // These folders end in a separator, unless they are the root.
        QString folder = choice.folder;
        if (folder != QLatin1String("/") && !folder.endsWith(QLatin1Char('/'))) {
            folder += QLatin1Char('/');
        }
        settings.write(player ? prefs::runtime::kDirectory : prefs::slideshow::kDirectory, folder);
    } else {
        QString folder = choice.folder;
        if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) {
            folder.chop(1);
        }
        app.lastFolders().open = folder;
        settings.write(prefs::general::kLastOpenDir, folder);
    }

    for (QString path : choice.paths) {
        // A selection at the root can come back with a doubled separator.
        if (path.startsWith(QLatin1String("//")) && path.size() > 2) {
            path.remove(0, 1);
        }
        if (runFileCheck(app, path) == 1) {
            if (player) {
                app.playerImages().append(path);
                continue;
            }
            if (slideShow) {
                app.slideShowImages().append(path);
                continue;
            }
            CFpicDoc* document = openDocumentEntry(app, documents, path);
            if (!document || document->loadFailed()) {
                if (document) {
                    documents.closeDocument(document);
                }
                app.prompt().message(QStringLiteral("Error Loading File: %1").arg(path));
            }
            continue;
        }
        if (choice.paths.size() == 1 && isSlideShowFile(path)) {
            openSlideShowFile(app, path);
            return;
        }
        app.prompt().message(QStringLiteral("Error: %1, Invalid File Format").arg(path));
    }
}

CFpicDoc* newDocumentCommand(CFpicApp& app, DocumentManager& documents, int kind) {
    app.setDocumentKind(kind);
    CFpicDoc* document = documents.newDocument(static_cast<CFpicDoc::Kind>(kind));
    app.setDocumentKind(0);
    return document;
}

}  // namespace image

namespace image {

QList<CommandTarget*> commandChain(CFpicApp& app, const DocumentManager& documents) {
    QList<CommandTarget*> chain;
    if (CFpicDoc* document = documents.activeDocument()) {
        if (CFpicView* view = documents.viewOf(document)) {
            chain << &view->commands();
        }
        chain << &document->commands();
    }
    if (CMainFrame* frame = app.mainFrame()) {
        chain << &frame->commands();
    }
    chain << &app.commands();
    return chain;
}

void installDocumentCommands(CFpicApp& app, DocumentManager& documents, FileChooser& chooser,
                             DocumentServices& services) {
    CommandMap& map = app.commands();
    using namespace command;
    const auto hasScanner = [&app](CommandState* state) {
        state->enabled = app.scannerConnection() != 0;
    };

    map.add(kFileNew, [&app, &documents] { newDocumentCommand(app, documents, 0); });
    map.add(kFileOpen, [&app, &documents, &chooser] { fileOpenCommand(app, documents, chooser); });
    map.add(
        kEditPaste, [&app, &documents] { newDocumentCommand(app, documents, 2); },
        [](CommandState* state) { state->enabled = imaging::clipboardHasImage(); });
    map.add(kCapture, [&app, &documents] {
        const auto& showThumbnails = app.entryPoints().showThumbnailWindows;
        if (showThumbnails) {
            showThumbnails(false);
        }
        newDocumentCommand(app, documents, 1);
        if (showThumbnails) {
            showThumbnails(true);
        }
    });
    map.add(
        kAcquire, [&app, &documents] { newDocumentCommand(app, documents, 4); }, hasScanner);
    map.add(
        kSelectSource,
        [&app] {
            const int result = app.scanner().selectSource(app.mainFrame());
            if (result != 1 && result != imaging::kErrorUserAbort) {
                reportImagingResult(app.prompt(), result);
            }
        },
        hasScanner);
    map.add(kCloseAll, [&documents] { documents.closeAll(); });
    map.add(kSetPassword, [&services] {
        if (services.setPassword) {
            services.setPassword();
        }
    });
    map.add(kFilePrintSetup, [&app] { printSetup(app.mainFrame()); });
    if (CMainFrame* frame = app.mainFrame()) {
        frame->setCloseGuard([&documents] { return documents.saveAllModified(); });
    }
}

}  // namespace image
