#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "app/recentfiles.h"
#include "app/settingsstore.h"
#include "platform/testing/scriptedprompt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

/// Runs start-up in a folder of its own with every entry point recorded.
class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        programFolder = root.filePath(QStringLiteral("bin"));
        ASSERT_TRUE(QDir().mkpath(programFolder));
        settingsPath = root.filePath(QStringLiteral("config/Pixoria.conf"));
    }

    SettingsStore& store() {
        if (!preStore) {
            preStore = std::make_unique<SettingsStore>(settingsPath);
        }
        return *preStore;
    }

    CFpicApp& start(QStringList arguments = {}, int imageCheck = 0, bool openSucceeds = true) {
        preStore.reset();
        app = std::make_unique<CFpicApp>(
            CFpicApp::Environment{programFolder, settingsPath, std::move(arguments)}, prompt);
        SubsystemEntryPoints& entry = app->entryPoints();
        entry.fileCheck = [this, imageCheck](const QString& path) {
            events << QStringLiteral("fileCheck ") + QFileInfo(path).fileName();
            return imageCheck;
        };
        entry.openDocumentFile = [this, openSucceeds](const QString& path) {
            events << QStringLiteral("open ") + QFileInfo(path).fileName();
            return openSucceeds;
        };
        entry.openSlideShowDialog = [this] {
            events << QStringLiteral("slideshow ") +
                          QFileInfo(app->currentSlideShowFile()).fileName();
        };
        entry.runFind = [this] { events << QStringLiteral("find"); };
        entry.startWizard = [this] { events << QStringLiteral("wizard"); };
        entry.openScannerConnection = [this] {
            events << QStringLiteral("scanner");
            return 7;
        };
        entry.setPhotoCdResolution = [this](int resolution) {
            events << QStringLiteral("pcd %1").arg(resolution);
        };
        app->setSplashRunner([this] {
            events << QStringLiteral("splash");
            // The frame is already on screen when the splash shows.
            EXPECT_TRUE(app->mainFrame()->isVisible());
        });
        started = app->initInstance();
        return *app;
    }

    QStringList storedKeys() { return SettingsStore(settingsPath).storedKeys(); }

    QTemporaryDir root;
    QString programFolder;
    QString settingsPath;
    ScriptedPrompt prompt;
    QStringList events;
    std::unique_ptr<SettingsStore> preStore;
    std::unique_ptr<CFpicApp> app;
    bool started = false;
};

TEST_F(Startup, FirstStartTakesEveryDefaultAndStartsTheWizardNotTheThumbnails) {
    CFpicApp& a = start();
    ASSERT_TRUE(started);
    EXPECT_EQ(events, (QStringList{"scanner", "pcd 3", "splash", "wizard"}));
    EXPECT_TRUE(prompt.records().isEmpty());

    const QString folder = programFolder + QLatin1Char('/');
    EXPECT_EQ(a.folders().program, folder);
    EXPECT_EQ(a.folders().albums, folder + QStringLiteral("Albums/"));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("Albums")).isDir());
    EXPECT_EQ(a.lastFolders().open, folder + QStringLiteral("Images/"));
    EXPECT_EQ(a.lastFolders().slideSave, folder + QStringLiteral("Slide Shows/"));
    EXPECT_EQ(a.lastFolders().search, a.folders().windows);
    EXPECT_EQ(a.searchValues().searchString, QStringLiteral("*.bmp"));
    EXPECT_EQ(a.display().pcdResolution, 3);
    EXPECT_EQ(a.display().autoPalette, 1);
    EXPECT_EQ(a.toolValues().newWidth, 100);
    EXPECT_EQ(a.scannerConnection(), 7);
    EXPECT_TRUE(a.isWindowsNt());
    EXPECT_TRUE(a.wizardOnThisStart());
    EXPECT_FALSE(a.thumbOnThisStart());
    EXPECT_GT(a.screen().width, 0);
    EXPECT_GT(a.screen().colourDepth, 0);

    // No document, a maximised workspace, and nothing stored but the two
    // values start-up writes.
    EXPECT_TRUE(a.mainFrame()->isVisible());
    EXPECT_TRUE(a.mainFrame()->isMaximized());
    EXPECT_EQ(a.openFiles().count(), 0);
    EXPECT_EQ(a.currentSlideShowFile(), kEmptyFileName);
    EXPECT_EQ(a.currentConvertFile(), kEmptyFileName);
    QStringList keys = storedKeys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"settings/cdir", "settings/flat"}));
    EXPECT_EQ(store().read(prefs::general::kCdir), folder);
    EXPECT_EQ(store().read(prefs::general::kFlat), 1);

    // No settings file yet: the system font and the default colours.
    EXPECT_FALSE(a.textStyle().font.faceName.isEmpty());
    EXPECT_EQ(a.textStyle().fillColour, 0xFFFFFFu);
    EXPECT_EQ(a.textStyle().shadowColour, 0u);
}

TEST_F(Startup, ThumbnailsStartWhenTheWizardIsOff) {
    store().write(prefs::general::kWizard, 0);
    store().write(prefs::general::kSplash, 0);
    CFpicApp& a = start();
    EXPECT_EQ(events, (QStringList{"scanner", "pcd 3", "find"}));
    EXPECT_EQ(a.mainFrame()->messagePaneText(), CFpicApp::kLoadingThumbnailsText);
}

TEST_F(Startup, AnImageOnTheCommandLineOpensWithoutSplashOrThumbnails) {
    store().write(prefs::general::kWizard, 0);
    CFpicApp& a = start({QStringLiteral("photo.jpg")}, 1);
    ASSERT_TRUE(started);
    EXPECT_EQ(events, (QStringList{"scanner", "pcd 3", "fileCheck photo.jpg", "open photo.jpg"}));
    EXPECT_EQ(a.mainFrame()->messagePaneText(), CFpicApp::kBlankPaneText);
    EXPECT_EQ(CFpicApp::kBlankPaneText.size(), 46);
    // Relative names are taken from the folder the program was started in.
    EXPECT_EQ(a.commandLineFile(), QDir::current().absoluteFilePath(QStringLiteral("photo.jpg")));
}

TEST_F(Startup, AnImageThatFailsToOpenEndsStartUp) {
    start({QStringLiteral("/x/broken.png")}, 1, false);
    EXPECT_FALSE(started);
    EXPECT_FALSE(events.contains(QStringLiteral("splash")));
}

TEST_F(Startup, SlideShowFilesOpenTheSlideShowDialogByTheirExactEnding) {
    for (const char* name : {"/shows/trip.sld", "/shows/TRIP.SLD"}) {
        events.clear();
        CFpicApp& a = start({QLatin1String(name)});
        ASSERT_TRUE(started);
        const QString file = QFileInfo(QLatin1String(name)).fileName();
        EXPECT_EQ(events, (QStringList{"scanner", "pcd 3", "fileCheck " + file, "slideshow " + file,
                                       "wizard"}));
        EXPECT_EQ(a.currentSlideShowFile(), kEmptyFileName);
        EXPECT_EQ(a.recentFiles().paths().first(), QLatin1String(name));
        EXPECT_TRUE(prompt.records().isEmpty());
    }

    events.clear();
    start({QStringLiteral("/shows/trip.Sld")});
    ASSERT_TRUE(started);
    EXPECT_EQ(prompt.texts(), QStringList{"Invalid File Format: /shows/trip.Sld"});
    EXPECT_EQ(events, (QStringList{"scanner", "pcd 3", "fileCheck trip.Sld", "wizard"}));
}

TEST_F(Startup, AnyOtherFileIsRefusedAndStartUpGoesOn) {
    start({QStringLiteral("/docs/notes.txt")});
    ASSERT_TRUE(started);
    ASSERT_EQ(prompt.records().size(), 1);
    EXPECT_EQ(prompt.records().first().text,
              QStringLiteral("Invalid File Format: /docs/notes.txt"));
    EXPECT_EQ(prompt.records().first().buttons, PromptService::Buttons::Ok);
    EXPECT_EQ(events.last(), QStringLiteral("wizard"));
}

TEST_F(Startup, LargestFlashPixResolutionIsOnForEveryRunWhateverIsStored) {
    store().write(prefs::general::kFpxLoad, 0);
    store().write(prefs::general::kPcdResolution, 5);
    CFpicApp& a = start();
    EXPECT_EQ(a.display().fpxLoad, 1);
    EXPECT_TRUE(events.contains(QStringLiteral("pcd 5")));
    EXPECT_EQ(store().read(prefs::general::kFpxLoad), 0);
}

TEST_F(Startup, ExitStoresTheTextStyleAndTheNextStartReadsIt) {
    {
        CFpicApp& a = start();
        a.textStyle().font.faceName = QStringLiteral("Serif");
        a.textStyle().backgroundColour = 0x00336699;
        EXPECT_EQ(a.exitInstance(3), 3);
    }
    const QString settingsFile = programFolder + QStringLiteral("/pzset.pzs");
    EXPECT_EQ(QFileInfo(settingsFile).size(), 113 + 5);
    CFpicApp& b = start();
    EXPECT_EQ(b.textStyle().font.faceName, QStringLiteral("Serif"));
    EXPECT_EQ(b.textStyle().backgroundColour, 0x00336699u);
}

TEST_F(Startup, AnAlbumFolderThatCannotBeMadeFallsBackToTheProgramFolder) {
    // A plain file where the folder should be.
    QFile blocker(programFolder + QStringLiteral("/Albums"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CFpicApp& a = start();
    EXPECT_EQ(a.folders().albums, programFolder + QLatin1Char('/'));
    EXPECT_TRUE(prompt.records().isEmpty());
}

TEST_F(Startup, RecentFilesAreNotAddedWhileAToolCollectsPictures) {
    CFpicApp& a = start();
    a.modes().slideShow = true;
    a.addToRecentFileList(QStringLiteral("/a.jpg"));
    a.modes().slideShow = false;
    a.modes().player = true;
    a.addToRecentFileList(QStringLiteral("/b.jpg"));
    a.modes().player = false;
    a.addToRecentFileList(QStringLiteral("/c.jpg"));
    EXPECT_EQ(a.recentFiles().paths(), QStringList{"/c.jpg"});
}

}  // namespace
