#include "search/thumbnailsearch.h"
#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "platform/testing/scriptedprompt.h"
#include "search/thumbnailer.h"
#include "search/thumbnailwindow.h"
#include "search/thumbnailwindows.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>

using namespace search;
using namespace prefs::general;

namespace {

TEST(ThumbnailWindowGeometry, FollowsThePlacementTable) {
    const QSize screen(1280, 1024);
    EXPECT_EQ(thumbnailWindowGeometry(ThumbnailWindowKind::Search, screen, 0),
              QRect(1010, 70, 268, 927));
    // Each new search window 20 pixels further left.
    EXPECT_EQ(thumbnailWindowGeometry(ThumbnailWindowKind::Search, screen, 3).x(), 950);
    EXPECT_EQ(thumbnailWindowGeometry(ThumbnailWindowKind::AlbumCollection, screen, 5),
              QRect(30, 70, 268, 927));
    EXPECT_EQ(thumbnailWindowGeometry(ThumbnailWindowKind::AlbumPhotos, screen, 5),
              QRect(1010, 70, 268, 927));
    EXPECT_EQ(thumbnailWindowGeometry(ThumbnailWindowKind::RuntimeImages, screen, 5),
              QRect(930, 70, 348, 835));
}

class Searches : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        QDir().mkpath(root.filePath("bin"));
        app = std::make_unique<CFpicApp>(
            CFpicApp::Environment{root.filePath("bin"), root.filePath("Pixoria.conf"), {}}, prompt);
        app->setSplashRunner([] {});
        app->entryPoints().openDocumentFile = [this](const QString& path) {
            opened << path;
            return true;
        };
        ASSERT_TRUE(app->initInstance());
        prompt.clear();
        thumbnailer = std::make_unique<Thumbnailer>(nullptr, 2);
        thumbnailer->setCacheRoot(root.filePath("cache"));
        windows = std::make_unique<ThumbnailWindows>(*app, *thumbnailer);
        search = std::make_unique<ThumbnailSearch>(*app, *windows);
        search->setFolderChooser([this](const FolderRequest& request) {
            requests << request;
            std::optional<FolderChoice> choice;
            if (!choices.empty()) {
                choice = choices.front();
                choices.pop_front();
            }
            return choice;
        });
    }

    void TearDown() override {
        search.reset();
        windows.reset();
        thumbnailer.reset();
    }

    QString folderOf(const QString& name, int pictures) {
        const QString folder = root.filePath(name);
        QDir().mkpath(folder);
        for (int i = 0; i < pictures; ++i) {
            imaging::ImageHandle handle;
            imaging::createImage(&handle, 40, 30, 24);
            handle.image.fill(QColor(20 * i, 100, 200));
            EXPECT_EQ(imaging::saveFile(QDir(folder).filePath(QStringLiteral("p%1.jpg").arg(i)),
                                        handle, imaging::format::kJpeg, 24),
                      imaging::kSuccess);
        }
        return folder;
    }

    void find(const QString& folder, const QString& mask = "*.jpg", bool sub = false) {
        choices.push_back({folder, mask, sub});
        search->run(false);
    }

    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    QTemporaryDir root;
    ScriptedPrompt prompt;
    std::unique_ptr<CFpicApp> app;
    std::unique_ptr<Thumbnailer> thumbnailer;
    std::unique_ptr<ThumbnailWindows> windows;
    std::unique_ptr<ThumbnailSearch> search;
    std::deque<FolderChoice> choices;
    QList<FolderRequest> requests;
    QStringList opened;
};

TEST_F(Searches, DialogSearchFillsARegisteredWindowAndStoresTheChoice) {
    const QString folder = folderOf("photos", 3);
    find(folder, "*.jpg", true);

    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].title, "Select Directory To Search");
    EXPECT_FALSE(requests[0].okCaption);
    ASSERT_EQ(windows->windowCount(), 1);
    EXPECT_EQ(windows->titleAt(0), folder + "/*.jpg + 3");
    EXPECT_EQ(windows->imageCountAt(0), 3);
    EXPECT_EQ(windows->runningTotal(), 3);
    ThumbnailWindow* window = windows->windowAt(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), windows->titleAt(0));
    EXPECT_EQ(window->imageCount(), 3);
    EXPECT_EQ(app->settings().read(kLastSearchDir), folder);
    EXPECT_EQ(app->settings().read(kSearchSub), 1);
    EXPECT_EQ(app->settings().read(kSearchString), "*.jpg");
    EXPECT_EQ(app->settings().read(kSearchGood), 1);
    EXPECT_EQ(app->mainFrame()->messagePaneText(), CFpicApp::kBlankPaneText);

    // The thumbnails arrive while the interface runs.
    QElapsedTimer timer;
    timer.start();
    while (window->thumbnailsMade() < 3 && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(window->thumbnailsMade(), 3);
}

TEST_F(Searches, RepeatedSearchReplacesItsWindowAlsoOneWithSubFolders) {
    // More pictures than a screenful: those below it are asked for only
    // once, when they are added.
    const QString folder = folderOf("photos", 40);
    thumbnailer->setPaused(true);  // the first window's thumbnails are still wanted
    // As in the program, the searches run from within the event loop, so the
    // replaced window is deleted only after the second search has returned.
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        find(folder, "*.jpg", true);
        find(folder, "*.jpg", true);
        loop.quit();
    });
    loop.exec();
    settle();
    EXPECT_EQ(windows->windowCount(), 1);
    EXPECT_EQ(windows->runningTotal(), 40);
    // The closed window gave up its requests, not those of the new one.
    thumbnailer->setPaused(false);
    ThumbnailWindow* window = windows->windowAt(0);
    QElapsedTimer timer;
    timer.start();
    while (window->thumbnailsMade() < 40 && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(window->thumbnailsMade(), 40);
    // Without sub-folders the title is a prefix of the one with them.
    find(folder, "*.jpg", false);
    settle();
    ASSERT_EQ(windows->windowCount(), 1);
    EXPECT_EQ(windows->titleAt(0), folder + "/*.jpg 40");
}

TEST_F(Searches, EleventhSearchIsRefusedBeforeItsChoiceIsStoredAndClosingFreesASlot) {
    for (int i = 0; i < 10; ++i) {
        find(folderOf(QStringLiteral("f%1").arg(i), 1));
    }
    ASSERT_EQ(windows->windowCount(), 10);
    EXPECT_EQ(windows->runningTotal(), 10);
    // Each window 20 pixels left of the one before.
    EXPECT_EQ(windows->windowAt(0)->x() - windows->windowAt(1)->x(), 20);
    const QString stored = app->settings().read(kLastSearchDir);
    const QString eleventh = folderOf("eleventh", 1);
    prompt.clear();
    find(eleventh);
    EXPECT_EQ(prompt.texts(), QStringList{ThumbnailWindows::tooManyWindowsMessage()});
    EXPECT_EQ(app->settings().read(kLastSearchDir), stored);
    EXPECT_EQ(windows->windowCount(), 10);

    // A window closed by hand leaves its slot and images at the next prune.
    windows->windowAt(3)->close();
    settle();
    prompt.clear();
    find(eleventh);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(windows->windowCount(), 10);
    EXPECT_EQ(windows->runningTotal(), 10);
    EXPECT_EQ(windows->titleAt(9), eleventh + "/*.jpg 1");
}

TEST_F(Searches, NothingFoundClosesTheWindowAndCancelLeavesEverything) {
    const QString folder = folderOf("empty", 0);
    find(folder);
    EXPECT_EQ(prompt.texts(), QStringList{ThumbnailSearch::nothingFoundMessage()});
    settle();
    EXPECT_EQ(windows->windowCount(), 0);

    prompt.clear();
    const QString before = app->settings().read(kLastSearchDir);
    search->run(false);  // the dialog is cancelled
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(app->settings().read(kLastSearchDir), before);
    EXPECT_EQ(app->mainFrame()->messagePaneText(), CFpicApp::kBlankPaneText);
}

TEST_F(Searches, AutomaticSearchUsesTheHeldValuesThenResetsAfterAFailure) {
    const QString folder = folderOf("held", 2);
    app->lastFolders().search = folder;
    app->searchValues().searchString = "*.*";
    app->searchValues().searchSub = 0;
    app->settings().write(kSearchGood, 1);
    search->run(true);
    EXPECT_TRUE(requests.isEmpty());
    ASSERT_EQ(windows->windowCount(), 1);
    EXPECT_EQ(windows->titleAt(0), folder + "/*.* 2");
    EXPECT_EQ(app->settings().read(kSearchGood), 1);

    // The next automatic search after one that found nothing starts again
    // from the picture folder, or from the root when that was the folder.
    app->settings().write(kSearchGood, 0);
    app->lastFolders().search = app->folders().windows;
    app->searchValues().searchString = "*.no-such-pictures";
    search->run(true);
    EXPECT_EQ(app->settings().read(kLastSearchDir), "/");
    EXPECT_EQ(app->settings().read(kSearchString), "*.bmp");
    EXPECT_EQ(app->settings().read(kSearchSub), 0);
}

TEST_F(Searches, AlbumSourceSearchFillsTheCollectionWindow) {
    const QString folder = folderOf("album", 2);
    choices.push_back({folder, "*.jpg", false});
    EXPECT_TRUE(search->albumSourceSearch(false));
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].title, "Select Source Directory");
    EXPECT_TRUE(requests[0].okCaption);
    EXPECT_EQ(search->albumCollectionTitle(), folder + "/*.jpg 2");
    ASSERT_NE(search->albumCollectionWindow(), nullptr);
    EXPECT_EQ(search->albumCollectionWindow()->imageCount(), 2);
    EXPECT_EQ(windows->windowCount(), 0);  // not a search window
    EXPECT_EQ(app->settings().read(kLastAlbumSearchDir), folder);

    EXPECT_FALSE(search->albumSourceSearch(false));  // cancelled
    choices.push_back({folderOf("none", 0), "*.jpg", false});
    EXPECT_TRUE(search->albumSourceSearch(false));
    EXPECT_EQ(prompt.texts().last(), ThumbnailSearch::nothingFoundAlbumMessage());
}

TEST_F(Searches, KeysAndTheCallback) {
    const QString folder = folderOf("keys", 2);
    find(folder);
    ThumbnailWindow* window = windows->windowAt(0);
    ASSERT_NE(window, nullptr);
    window->setCurrentRow(1);
    const QString current = window->currentPath();
    QWidget* view = window->listView();

    const auto press = [](QWidget* target, int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
    };

    // "P" shows the path.
    prompt.clear();
    press(view, Qt::Key_P);
    ASSERT_EQ(prompt.records().size(), 1);
    EXPECT_EQ(prompt.records()[0].text, current);
    EXPECT_EQ(prompt.records()[0].caption, "Path");
    EXPECT_FALSE(windows->pathPending());
    EXPECT_EQ(windows->lastSource(), window);

    // Delete asks first; No keeps the file, Yes deletes it and the
    // thumbnail stays.
    prompt.clear();
    prompt.scriptAnswer(PromptService::Answer::No);
    press(view, Qt::Key_Delete);
    EXPECT_EQ(prompt.texts(), QStringList{"Are you sure you want delete " + current + "?"});
    EXPECT_TRUE(QFile::exists(current));
    prompt.scriptAnswer(PromptService::Answer::Yes);
    press(view, Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(current));
    EXPECT_EQ(window->imageCount(), 2);

    // A read-only file is refused.
    const QString other = window->pathAt(0);
    QFile::setPermissions(other, QFileDevice::ReadOwner);
    window->setCurrentRow(0);
    prompt.clear();
    press(view, Qt::Key_Delete);
    if (!QFileInfo(other).isWritable()) {  // root may write anything
        EXPECT_EQ(prompt.texts(),
                  QStringList{"Unable to delete: " + other + ", file is Read Only"});
        EXPECT_TRUE(QFile::exists(other));
    }

    // Enter opens the file as a document.
    opened.clear();
    press(view, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{other});
}

TEST_F(Searches, ToolWindowsTakeChoicesOnlyWhileTheirToolWorks) {
    const QString folder = folderOf("tools", 1);
    const QString picture = QDir(folder).filePath("p0.jpg");
    ThumbnailWindow* slides =
        windows->createToolWindow(ThumbnailWindowKind::SlideShowImages, "Slide Show Images");
    ThumbnailWindow* album =
        windows->createToolWindow(ThumbnailWindowKind::AlbumCollection, "collection");
    QStringList toSlides;
    QStringList toAlbum;
    windows->setHandler(ThumbnailWindowKind::SlideShowImages,
                        [&](const QString& path) { toSlides << path; });
    windows->setHandler(ThumbnailWindowKind::AlbumCollection,
                        [&](const QString& path) { toAlbum << path; });
    slides->addFile(picture);
    slides->show();

    windows->dispatch(slides, picture);
    EXPECT_EQ(opened, QStringList{picture});  // no slide show running: opened
    app->modes().slideShow = true;
    windows->dispatch(slides, picture);
    EXPECT_EQ(toSlides, QStringList{picture});
    windows->dispatch(album, picture);
    EXPECT_EQ(toAlbum, QStringList{picture});

    // "P" in a tool window is an ordinary key there.
    prompt.clear();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier);
    QApplication::sendEvent(slides->listView(), &key);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_FALSE(windows->pathPending());
}

}  // namespace
