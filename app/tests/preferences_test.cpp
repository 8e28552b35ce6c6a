#include "app/fpicapp.h"
#include "app/preferencescommand.h"
#include "app/prefsheet.h"
#include "app/settingsstore.h"
#include "platform/testing/scriptedprompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

/// A started application whose preferences sheet the test drives as a user
/// would: the sheet is shown, tabs are chosen and buttons clicked.
class Preferences : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        settingsPath = root.filePath(QStringLiteral("Pixoria.conf"));
    }

    void start() {
        app = std::make_unique<CFpicApp>(
            CFpicApp::Environment{root.filePath(QStringLiteral("bin")), settingsPath, {}}, prompt);
        app->entryPoints().setPhotoCdResolution = [this](int resolution) {
            handedOn << resolution;
        };
        app->setSplashRunner([] {});
        ASSERT_TRUE(app->initInstance());
        handedOn.clear();
        QObject::connect(app.get(), &CFpicApp::viewsUpdateRequested,
                         [this](int hint) { hints << hint; });
    }

    /// Runs the command; `act` works on the shown sheet, then OK or Cancel
    /// is clicked.
    bool run(const std::function<void(CPrefSheet&)>& act, bool ok = true) {
        return runPreferences(
            *app, nullptr,
            [&](CPrefSheet& sheet) {
                sheet.show();
                act(sheet);
                sheet.buttons()
                    ->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                    ->click();
                return sheet.result() == QDialog::Accepted;
            },
            [this](int topic) { helpTopics << topic; });
    }

    template <typename Button>
    static Button* find(CPrefSheet& sheet, int tab, const char* text) {
        sheet.tabs()->setCurrentIndex(tab);
        for (Button* button : sheet.tabs()->widget(tab)->findChildren<Button*>()) {
            if (button->text() == QLatin1String(text)) {
                return button;
            }
        }
        ADD_FAILURE() << "no button " << text;
        return nullptr;
    }
    static QRadioButton* radio(CPrefSheet& sheet, int tab, const char* text) {
        return find<QRadioButton>(sheet, tab, text);
    }
    static QCheckBox* box(CPrefSheet& sheet, int tab, const char* text) {
        return find<QCheckBox>(sheet, tab, text);
    }

    int stored(const IntSetting& setting) { return app->settings().read(setting); }

    QTemporaryDir root;
    QString settingsPath;
    ScriptedPrompt prompt;
    std::unique_ptr<CFpicApp> app;
    QList<int> handedOn;
    QList<int> hints;
    QList<int> helpTopics;
};

constexpr int kMain = 0;
constexpr int kPhotoCd = 1;
constexpr int kGeneral = 2;

TEST_F(Preferences, TheSheetShowsTheRunsValuesAndTheFpxBoxIsOnWhateverWasStored) {
    {
        SettingsStore before(settingsPath);
        before.write(prefs::general::kFpxLoad, 0);
        before.write(prefs::general::kOrderedDither, 1);
        before.write(prefs::general::kPcdResolution, 2);
        before.write(prefs::general::kFitToPage, 0);
        before.write(prefs::general::kSplash, 0);
        before.write(prefs::general::kThumb, 0);
    }
    start();
    const bool accepted = run(
        [](CPrefSheet& sheet) {
            EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Preferences"));
            ASSERT_EQ(sheet.tabs()->count(), 3);
            EXPECT_EQ(sheet.tabs()->tabText(kMain), QStringLiteral("Main"));
            EXPECT_EQ(sheet.tabs()->tabText(kPhotoCd), QStringLiteral("PhotoCD "));
            EXPECT_EQ(sheet.tabs()->tabText(kGeneral), QStringLiteral("General"));
            EXPECT_EQ(sheet.buttons()->standardButtons(),
                      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);

            EXPECT_TRUE(radio(sheet, kMain, "&Auto")->isChecked());
            EXPECT_TRUE(radio(sheet, kMain, "&Ordered")->isChecked());
            EXPECT_FALSE(box(sheet, kMain, "&Show splash screen on startup.")->isChecked());
            EXPECT_FALSE(box(sheet, kMain, "Show &thumbnail window on startup.")->isChecked());
            EXPECT_TRUE(radio(sheet, kPhotoCd, "&256 x 384")->isChecked());
            EXPECT_TRUE(box(sheet, kGeneral, "&Always Load Largest FPX Resolution")->isChecked());
            EXPECT_TRUE(
                box(sheet, kGeneral, "Auto &Zoom To Fit Large Images on Load")->isChecked());
            EXPECT_FALSE(box(sheet, kGeneral, "&Fit Image to Printer Page")->isChecked());
        },
        false);
    EXPECT_FALSE(accepted);
}

TEST_F(Preferences, TheLargestPhotoCdResolutionIsStoredAndHandedOn) {
    start();
    EXPECT_TRUE(run([](CPrefSheet& sheet) { radio(sheet, kPhotoCd, "2048 x 30&72")->click(); }));
    EXPECT_EQ(app->display().pcdResolution, 5);
    EXPECT_EQ(stored(prefs::general::kPcdResolution), 5);
    EXPECT_EQ(handedOn, QList<int>{5});
}

TEST_F(Preferences, OkWritesAllEightValuesAndOnlyDisplayChangesRedrawTheViews) {
    start();
    run([](CPrefSheet& sheet) { box(sheet, kMain, "&Show splash screen on startup.")->click(); });
    SettingsStore after(settingsPath);
    using namespace prefs::general;
    for (const IntSetting& setting : {kOrderedDither, kAutoPalette, kPcdResolution, kFpxLoad,
                                      kFitFlag, kFitToPage, kSplash, kThumb}) {
        EXPECT_TRUE(after.contains(QLatin1String(setting.section), QLatin1String(setting.key)))
            << setting.key;
    }
    EXPECT_EQ(after.read(kSplash), 0);
    EXPECT_EQ(after.read(kThumb), 1);
    EXPECT_EQ(after.read(kOrderedDither), 0);
    EXPECT_EQ(after.read(kAutoPalette), 1);
    // The run's forced FlashPix choice is what OK stores.
    EXPECT_EQ(after.read(kFpxLoad), 1);
    EXPECT_TRUE(hints.isEmpty());

    run([](CPrefSheet& sheet) { radio(sheet, kMain, "&Ordered")->click(); });
    EXPECT_EQ(hints, QList<int>{0});
    EXPECT_EQ(app->display().orderedDither, 1);

    hints.clear();
    run([](CPrefSheet& sheet) { radio(sheet, kMain, "&Fixed")->click(); });
    EXPECT_EQ(hints, QList<int>{1});
    EXPECT_EQ(app->display().autoPalette, 0);

    hints.clear();
    run([](CPrefSheet& sheet) {
        radio(sheet, kMain, "Error &Diffusion")->click();
        radio(sheet, kMain, "&Auto")->click();
    });
    EXPECT_EQ(hints, (QList<int>{0, 1}));

    // Clicking away and back again is no change.
    hints.clear();
    run([](CPrefSheet& sheet) {
        radio(sheet, kMain, "&Ordered")->click();
        radio(sheet, kMain, "Error &Diffusion")->click();
    });
    EXPECT_TRUE(hints.isEmpty());
}

TEST_F(Preferences, CancelChangesNothing) {
    start();
    const QStringList keysBefore = app->settings().storedKeys();
    const DisplayValues before = app->display();
    const bool accepted = run(
        [](CPrefSheet& sheet) {
            radio(sheet, kMain, "&Ordered")->click();
            radio(sheet, kMain, "&Fixed")->click();
            box(sheet, kMain, "Show &thumbnail window on startup.")->click();
            radio(sheet, kPhotoCd, "&128 x 192")->click();
            box(sheet, kGeneral, "&Fit Image to Printer Page")->click();
        },
        false);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(app->settings().storedKeys(), keysBefore);
    EXPECT_EQ(app->display().orderedDither, before.orderedDither);
    EXPECT_EQ(app->display().autoPalette, before.autoPalette);
    EXPECT_EQ(app->display().pcdResolution, before.pcdResolution);
    EXPECT_EQ(app->display().fitToPage, before.fitToPage);
    EXPECT_TRUE(hints.isEmpty());
    EXPECT_TRUE(handedOn.isEmpty());
}

TEST_F(Preferences, HelpButtonAndF1AskForThePreferencesTopic) {
    start();
    run(
        [this](CPrefSheet& sheet) {
            sheet.buttons()->button(QDialogButtonBox::Help)->click();
            EXPECT_EQ(helpTopics, QList<int>{5112});
            EXPECT_TRUE(sheet.isVisible());

            // F1 on a control travels up to the sheet.
            QRadioButton* control = radio(sheet, kPhotoCd, "&256 x 384");
            QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
            QApplication::sendEvent(control, &f1);
            EXPECT_EQ(helpTopics, (QList<int>{5112, 5112}));
            EXPECT_TRUE(sheet.isVisible());
        },
        false);
}

}  // namespace
