#include "app/appcommands.h"
#include "app/childframe.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/settingsstore.h"
#include "image/documentcommands.h"
#include "image/fileinfodlg.h"
#include "image/fpicview.h"
#include "image/sizedlg.h"
#include "image/tests/workspace.h"
#include "image/textdlg.h"
#include "image/wallpaperdlg.h"
#include "image/zoommath.h"
#include "imaging/errors.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>

#include <vector>

namespace {

using namespace command;

class Views : public Documents {
protected:
    enum class Level { View, Document, Frame, Application, Nobody };

    void SetUp() override {
        Documents::SetUp();
        router = std::make_unique<CommandRouter>(
            [this] { return image::commandChain(*app, *documents); });
        services->router = router.get();
        installApplicationCommands(*app);
        image::installDocumentCommands(*app, *documents, chooser, *services);
        app->mainFrame()->installCommands(*router);
        QGuiApplication::clipboard()->clear();
    }

    CFpicDoc* open(const char* name, QSize size = {64, 48}) {
        CFpicDoc* document = documents->openDocument(picture(name, imaging::format::kPng, size));
        EXPECT_NE(document, nullptr);
        activate(document);
        return document;
    }

    CFpicDoc* untitled() {
        NewDocumentArguments arguments;
        arguments.width = 40;
        arguments.height = 30;
        CFpicDoc* document = documents->newDocument(CFpicDoc::Kind::Empty, arguments);
        EXPECT_NE(document, nullptr);
        activate(document);
        return document;
    }

    void activate(CFpicDoc* document) {
        app->mainFrame()->mdiArea()->setActiveSubWindow(documents->frameOf(document));
    }

    CFpicView* view(CFpicDoc* document) const { return documents->viewOf(document); }

    /// Which link of the chain takes the command.
    Level handler(int id) const {
        CommandState state;
        for (CommandTarget* target : image::commandChain(*app, *documents)) {
            if (!target->onUpdateCommand(id, &state)) {
                continue;
            }
            CFpicDoc* active = documents->activeDocument();
            if (active && target == &view(active)->commands()) {
                return Level::View;
            }
            if (active && target == &active->commands()) {
                return Level::Document;
            }
            return target == &app->mainFrame()->commands() ? Level::Frame : Level::Application;
        }
        return Level::Nobody;
    }

    bool enabled(int id) const { return router->state(id).enabled; }
    bool checked(int id) const { return router->state(id).checked; }

    static void click(CFpicView* view, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* port = view->viewport();
        const QPointF global = port->mapToGlobal(QPointF(at));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(port, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(port, &release);
    }

    static void drag(CFpicView* view, QPoint from, QPoint to) {
        QWidget* port = view->viewport();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(from), port->mapToGlobal(QPointF(from)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), port->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(to), port->mapToGlobal(QPointF(to)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &release);
    }

    QString pane(int index) const { return app->mainFrame()->paneText(index); }

    std::unique_ptr<CommandRouter> router;
};

TEST_F(Views, EveryCommandReachesItsLinkOfTheChain) {
    // Nothing open: the image commands have no taker and are disabled.
    EXPECT_EQ(handler(kEditCopy), Level::Nobody);
    EXPECT_EQ(handler(kFileSave), Level::Nobody);
    EXPECT_FALSE(enabled(kEditCopy));
    EXPECT_FALSE(enabled(kFileSave));
    EXPECT_TRUE(enabled(kFileNew));

    open("route.png");
    const std::pair<Level, std::vector<int>> table[] = {
        {Level::View,
         {kEditCopy, kEditUndo, kSelectTool, kCrop, kImageInformation, kDelete, kSetSelectSize,
          kZoom, kPointer, kText, kObjectMode, kCombineText, kPasteAsObject, kWallpaper, kFilePrint,
          kFilePrintPreview}},
        {Level::Document, {kFileSave, kFileSaveAs, kFileClose}},
        {Level::Frame,
         {kHelpContents, kHelpTopics, kHelp, kContextHelp, kWebSite, kViewToolbar, kViewStatusBar,
          kWindowCascade, kWindowTile, kWindowArrange, kAppExit}},
        {Level::Application, {kFileNew,        kFileOpen,     kAcquire,          kSelectSource,
                              kFilePrintSetup, kPreferences,  kCapture,          kCreateRuntime,
                              kPlayRuntime,    kSlideShow,    kInstantSlideShow, kInstantPlayer,
                              kWizard,         kNewAlbum,     kEditAlbum,        kViewAlbum,
                              kFind,           kSetPassword,  kEditPaste,        kCloseAll,
                              kAbout,          kFileMruFirst, kFileMruLast}},
        {Level::Nobody, {kEditCut, kNextPane, kPreviousPane, kWizardBack}},
    };
    for (const auto& [level, ids] : table) {
        for (int id : ids) {
            EXPECT_EQ(handler(id), level) << "command " << id;
        }
    }
    // Cut has no taker anywhere, so it stays disabled.
    EXPECT_FALSE(enabled(kEditCut));
    EXPECT_FALSE(router->route(kEditCut));
}

TEST_F(Views, InstantToolsCountTheOpenDocumentsThatHaveAFile) {
    QList<bool> shows;
    QList<bool> players;
    app->entryPoints().slideShow = [&shows](bool instant) { shows << instant; };
    app->entryPoints().createRuntime = [&players](bool instant) { players << instant; };

    EXPECT_TRUE(enabled(kSlideShow));
    EXPECT_FALSE(enabled(kInstantSlideShow));
    EXPECT_FALSE(enabled(kInstantPlayer));
    open("one.png");
    EXPECT_FALSE(enabled(kInstantSlideShow)) << "one document is not a show";
    EXPECT_TRUE(enabled(kInstantPlayer));
    untitled();
    EXPECT_FALSE(enabled(kInstantSlideShow)) << "a never-saved image does not count";
    open("two.png");
    EXPECT_TRUE(enabled(kInstantSlideShow));

    router->route(kSlideShow);
    router->route(kInstantSlideShow);
    router->route(kInstantPlayer);
    EXPECT_EQ(shows, (QList<bool>{false, true}));
    EXPECT_EQ(players, QList<bool>{true});

    // A tool whose subsystem is not wired in stays disabled.
    app->entryPoints().playRuntime = nullptr;
    EXPECT_FALSE(enabled(kPlayRuntime));
}

TEST_F(Views, ScannerClipboardAndFileDecideTheirCommands) {
    EXPECT_FALSE(enabled(kAcquire));
    EXPECT_FALSE(enabled(kSelectSource));
    app->setScannerConnection(3);
    EXPECT_TRUE(enabled(kAcquire));
    EXPECT_TRUE(enabled(kSelectSource));

    EXPECT_FALSE(enabled(kEditPaste));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(picture);
    EXPECT_TRUE(enabled(kEditPaste));

    untitled();
    EXPECT_FALSE(enabled(kDelete)) << "no file to delete";
    EXPECT_FALSE(enabled(kEditUndo));
    EXPECT_TRUE(enabled(kPasteAsObject)) << "a 24-bit picture and a picture on the clipboard";
    services->runDialog = [](QDialog&) { return false; };
    router->route(kText);  // the Font dialog is cancelled: back to Pointer
    EXPECT_TRUE(checked(kPointer));
    open("file.png");
    EXPECT_TRUE(enabled(kDelete));
}

TEST_F(Views, ModesAreCheckedAndCropWantsARealSelection) {
    CFpicView* shown = view(open("modes.png"));
    EXPECT_TRUE(checked(kPointer));
    router->route(kZoom);
    EXPECT_TRUE(checked(kZoom));
    EXPECT_FALSE(checked(kPointer));
    router->route(kSelectTool);
    EXPECT_TRUE(checked(kSelectTool));
    EXPECT_FALSE(checked(kZoom)) << "select turns zoom off";
    EXPECT_FALSE(enabled(kCrop));
    shown->select(QRect(10, 10, 7, 7));
    EXPECT_FALSE(enabled(kCrop)) << "7 pixels is not more than 7";
    shown->select(QRect(10, 10, 8, 9));
    EXPECT_TRUE(enabled(kCrop));
    router->route(kCrop);
    EXPECT_EQ(shown->document().image().image.size(), QSize(8, 9));
    EXPECT_FALSE(checked(kSelectTool)) << "cropping leaves select mode";
    EXPECT_TRUE(enabled(kEditUndo));
    router->route(kPointer);
    EXPECT_TRUE(checked(kPointer));
}

TEST_F(Views, FirstDisplayFitsTheFrameOrZoomsToFit) {
    CFpicView* small = view(open("small.png", {64, 48}));
    EXPECT_EQ(small->zoom(), 100);
    EXPECT_EQ(small->size(), QSize(64, 48).expandedTo(small->size().boundedTo(QSize(160, 120))))
        << "the frame shrinks to the picture";
    const QSize large(1600, 900);
    CFpicView* big = view(open("large.png", large));
    EXPECT_FALSE(image::zoom::fits(large, 100, big->largestFrameArea()));
    EXPECT_EQ(big->zoom(), image::zoom::fitPercent(large, big->largestFrameArea()));
    EXPECT_LT(big->zoom(), 100);

    app->display().fitFlag = 0;
    EXPECT_EQ(view(open("large2.png", large))->zoom(), 100);
}

TEST_F(Views, ZoomModeClicksStepInAndOut) {
    CFpicView* shown = view(open("zoom.png"));
    router->route(kZoom);
    click(shown, {10, 10});
    EXPECT_EQ(shown->zoom(), 150);
    click(shown, {10, 10}, Qt::RightButton);
    click(shown, {10, 10}, Qt::RightButton);
    EXPECT_EQ(shown->zoom(), 75);
    EXPECT_EQ(pane(3), QStringLiteral("75 %"));
}

TEST_F(Views, StatusPanesReadTheViewAndBlankWhenItGoes) {
    CFpicDoc* document = open("status.png");
    CFpicView* shown = view(document);
    EXPECT_EQ(pane(1), QStringLiteral("64 x 48"));
    EXPECT_EQ(pane(2), QStringLiteral("24 bit"));
    EXPECT_EQ(pane(3), QStringLiteral("100 %"));
    EXPECT_EQ(pane(4), QStringLiteral("size in memory: 9216 bytes"));
    EXPECT_EQ(pane(5), QStringLiteral("1 File"));
    untitled();
    open("second.png");
    EXPECT_EQ(pane(5), QStringLiteral("2 Files")) << "the new image is not a file";

    activate(document);
    EXPECT_EQ(pane(1), QStringLiteral("64 x 48"));
    shown->setActive(false);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(pane(i), CFpicApp::kBlankPaneText);
    }
    app->convertSettings().mode = true;
    shown->updateStatusPanes();
    shown->setActive(false);
    EXPECT_EQ(pane(1), QStringLiteral("64 x 48")) << "convert mode keeps the read-outs";
}

TEST_F(Views, TheInitialSelectSizeWidensNewRectanglesAndCanBeStored) {
    CFpicView* shown = view(open("select.png"));
    services->runDialog = [](QDialog& dialog) {
        auto* sizes = qobject_cast<CSizeDlg*>(&dialog);
        EXPECT_NE(sizes, nullptr);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set Initial Size of Select Tool"));
        sizes->widthBox()->setValue(30);
        sizes->heightBox()->setValue(20);
        dialog.findChild<QCheckBox*>()->setChecked(true);
        return true;
    };
    router->route(kSetSelectSize);
    EXPECT_EQ(app->settings().read(prefs::general::kSaveRect), 1);
    EXPECT_EQ(app->settings().read(prefs::general::kRectWidth), 30);
    EXPECT_EQ(app->settings().read(prefs::general::kRectHeight), 20);

    router->route(kSelectTool);
    drag(shown, {5, 5}, {8, 7});
    EXPECT_EQ(shown->pictureSelection(), QRect(5, 5, 30, 20));
    EXPECT_EQ(shown->document().image().region, QRect(5, 5, 30, 20));
    // Dragging inside moves it; near the picture's edge it is clipped.
    drag(shown, {10, 10}, {40, 30});
    EXPECT_EQ(shown->pictureSelection(), QRect(35, 25, 30, 20));
}

TEST_F(Views, TheTextToolDrawsWhereTheUserClicks) {
    CFpicDoc* document = open("text.png");
    CFpicView* shown = view(document);
    const QImage before = document->image().image.copy();
    services->runDialog = [](QDialog& dialog) {
        auto* text = qobject_cast<CTextDlg*>(&dialog);
        EXPECT_NE(text, nullptr);
        text->textEdit()->setPlainText(QStringLiteral("A&B"));
        text->dropShadowBox()->setChecked(true);
        return true;
    };
    router->route(kText);
    EXPECT_TRUE(checked(kText));
    EXPECT_EQ(app->toolText(), QStringLiteral("A&B"));
    EXPECT_EQ(app->settings().read(prefs::text::kDropShadow), 1);
    click(shown, {4, 4});
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_NE(document->image().image, before);
    EXPECT_TRUE(enabled(kCombineText));
    router->route(kCombineText);
    EXPECT_TRUE(checked(kPointer));
    EXPECT_TRUE(document->isModified());
    router->route(kEditUndo);
    EXPECT_EQ(document->image().image, before);

    // Text larger than the picture is refused.
    services->runDialog = [](QDialog& dialog) {
        qobject_cast<CTextDlg*>(&dialog)->textEdit()->setPlainText(
            QStringLiteral("Far too much text for it"));
        return true;
    };
    router->route(kText);
    click(shown, {1, 1});
    EXPECT_EQ(prompt.texts(), QStringList{QStringLiteral("Text too large for image")});
    EXPECT_EQ(document->image().image, before);
}

TEST_F(Views, DeleteAsksAndRefusesReadOnlyFiles) {
    CFpicDoc* document = open("victim.png");
    const QString path = document->pathName();
    QFile(path).setPermissions(QFileDevice::ReadOwner);
    router->route(kDelete);
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("Unable to delete: %1, file is Read Only").arg(path)});
    EXPECT_TRUE(QFile::exists(path));

    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    prompt.clear();
    prompt.scriptAnswer(PromptService::Answer::No);
    router->route(kDelete);
    EXPECT_EQ(prompt.texts(),
              QStringList{QStringLiteral("Are you sure you want delete %1?").arg(path)});
    EXPECT_TRUE(QFile::exists(path));

    prompt.scriptAnswer(PromptService::Answer::Yes);
    router->route(kDelete);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(documents->documents().isEmpty());
}

TEST_F(Views, ImageInformationOfANewImage) {
    untitled();
    QStringList shown;
    services->runDialog = [&shown](QDialog& dialog) {
        shown = qobject_cast<CFileInfoDlg*>(&dialog)->valueTexts();
        return true;
    };
    router->route(kImageInformation);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.contains(QStringLiteral("None")));
    EXPECT_TRUE(shown.contains(QStringLiteral("40")));
    EXPECT_TRUE(shown.contains(QStringLiteral("30")));
    EXPECT_TRUE(shown.contains(QStringLiteral("3600")))
        << shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(Views, WallpaperSavesABmpCopyAndHandsItToTheDesktop) {
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toLocal8Bit());
    open("paper.png");
    services->runDialog = [](QDialog& dialog) {
        qobject_cast<CWallpaperDlg*>(&dialog)->tileBox()->setChecked(true);
        return true;
    };
    QString handed;
    bool tiled = false;
    services->setWallpaper = [&](const QString& path, bool tile, QString*) {
        handed = path;
        tiled = tile;
        return true;
    };
    router->route(kWallpaper);
    qunsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(handed.endsWith(QStringLiteral("/paper.bmp"))) << handed.toStdString();
    EXPECT_TRUE(tiled);
    EXPECT_EQ(app->settings().read(prefs::general::kTile), 1);
    imaging::FileInfo info;
    ASSERT_EQ(imaging::fileInfo(handed, &info), 1);
    EXPECT_EQ(info.format, imaging::format::kBmp);
    EXPECT_EQ(info.width, 64);
}

/// The bounds of what is not white on a page rendered by Ghostscript.
struct RenderedPage {
    QSize size;
    QRect ink;
};

RenderedPage renderPdf(const QString& pdf, int dpi) {
    const QString ppm = pdf + QStringLiteral(".ppm");
    QProcess gs;
    gs.start(QStringLiteral("gs"),
             {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
              QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=ppmraw"),
              QStringLiteral("-r%1").arg(dpi), QStringLiteral("-sOutputFile=") + ppm, pdf});
    if (!gs.waitForFinished(30000) || gs.exitCode() != 0) {
        return {};
    }
    const QImage page(ppm);
    RenderedPage rendered{page.size(), {}};
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                rendered.ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return rendered;
}

TEST_F(Views, PrintingToPdfFitsTheTurnedPictureOrPrintsItAtItsSize) {
    if (QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty()) {
        GTEST_SKIP() << "Ghostscript renders the printed pages";
    }
    CFpicDoc* document = open("print.png", {200, 100});
    imaging::fillImage(&document->image(), Qt::black);
    CFpicView* shown = view(document);
    const auto print = [&](bool fit, const char* name) {
        app->display().fitToPage = fit ? 1 : 0;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file(name));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        shown->print(printer);
        return renderPdf(file(name), 72);
    };

    const RenderedPage fitted = print(true, "fit.pdf");
    ASSERT_EQ(fitted.size, QSize(595, 842)) << "an A4 page";
    // Turned upright, 100 wide by 200 high: two thirds of the width would
    // be too tall, so two thirds of the height.
    EXPECT_NEAR(fitted.ink.height(), 842 * 2 / 3, 3);
    EXPECT_NEAR(fitted.ink.width(), 842 * 2 / 3 / 2, 3);
    EXPECT_NEAR(fitted.ink.center().x(), 595 / 2, 2);
    EXPECT_NEAR(fitted.ink.center().y(), 842 / 2, 2);
    EXPECT_EQ(document->image().image.size(), QSize(200, 100))
        << "the document's picture is not turned";

    const RenderedPage plain = print(false, "plain.pdf");
    ASSERT_EQ(plain.size, QSize(595, 842));
    // At its screen size (96 dots an inch) from the top-left corner.
    EXPECT_LE(plain.ink.left(), 1);
    EXPECT_LE(plain.ink.top(), 1);
    EXPECT_NEAR(plain.ink.width(), 200 * 72 / 96, 2);
    EXPECT_NEAR(plain.ink.height(), 100 * 72 / 96, 2);
}

}  // namespace
