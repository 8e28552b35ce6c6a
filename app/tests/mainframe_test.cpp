#include "app/mainframe.h"
#include "app/commandids.h"
#include "app/commandrouter.h"
#include "app/settingsstore.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDateTime>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

class MainFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        settings = std::make_unique<SettingsStore>(root.filePath(QStringLiteral("Pixoria.conf")));
        frame = std::make_unique<CMainFrame>(*settings);
        ASSERT_TRUE(frame->create());
        router = std::make_unique<CommandRouter>(
            [this] { return QList<CommandTarget*>{&frame->commands()}; });
        frame->installCommands(*router);
    }

    QTemporaryDir root;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CommandRouter> router;
};

TEST_F(MainFrame, TheToolbarKeepsItsOrderAndItsCheckGroup) {
    using namespace command;
    QList<int> ids;
    for (QAction* action : frame->toolbar()->actions()) {
        ids << (action->isSeparator() ? 0 : action->data().toInt());
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << "button " << action->data().toInt();
        }
    }
    const QList<int> expected = {kFileNew,
                                 kFileOpen,
                                 kFileSave,
                                 kFilePrint,
                                 0,
                                 kEditCopy,
                                 kEditPaste,
                                 kEditUndo,
                                 kFind,
                                 0,
                                 kPointer,
                                 kText,
                                 kZoom,
                                 0,
                                 kWizard,
                                 kSlideShow,
                                 kCreateRuntime,
                                 kPlayRuntime,
                                 0,
                                 kViewAlbum,
                                 kNewAlbum,
                                 kEditAlbum,
                                 0,
                                 kWallpaper,
                                 kCapture,
                                 0,
                                 kImageInformation,
                                 kHelpContents};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(frame->toolbar()->windowTitle(), QStringLiteral("Main"));
    QActionGroup* group = router->action(kPointer)->actionGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(router->action(kZoom)->actionGroup(), group);
    EXPECT_EQ(settings->read(prefs::general::kFlat), 1);
}

TEST_F(MainFrame, StatusBarHasTheReadoutsAndOnWideScreensTheClock) {
    // The offscreen screen is 800 pixels wide: date and time panes follow
    // the message pane and the five read-outs.
    EXPECT_EQ(frame->paneCount(), 8);
    frame->setPaneText(3, QStringLiteral("150 %"));
    EXPECT_EQ(frame->paneText(3), QStringLiteral("150 %"));

    const QDateTime morning(QDate(2026, 3, 5), QTime(9, 7), QTimeZone::systemTimeZone());
    EXPECT_EQ(CMainFrame::dateText(morning), QStringLiteral("Thursday, March 05, 26 "));
    EXPECT_EQ(CMainFrame::timeText(morning), QStringLiteral("09:07  AM "));
    const QDateTime evening(QDate(2026, 3, 5), QTime(12, 30), QTimeZone::systemTimeZone());
    EXPECT_EQ(CMainFrame::timeText(evening), QStringLiteral("12:30  PM "));
}

TEST_F(MainFrame, FrameCommandsAndHelpRequests) {
    QList<int> topics;
    frame->setHelpHandler([&topics](int topic) { topics << topic; });
    router->route(command::kHelpContents);
    router->route(command::kHelp);
    EXPECT_EQ(topics, (QList<int>{CMainFrame::kHelpContentsTopic, CMainFrame::kHelpIndexTopic}));
    router->updateAll();
    EXPECT_TRUE(router->action(command::kViewToolbar)->isChecked());
    EXPECT_FALSE(router->action(command::kEditCut)->isEnabled()) << "no handler, no command";
}

}  // namespace
