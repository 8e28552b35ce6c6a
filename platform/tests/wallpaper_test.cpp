#include "platform/wallpaper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kPath = QStringLiteral("/home/ann/.local/share/Pixoria/photo.bmp");
const QString kUri = QStringLiteral("file:///home/ann/.local/share/Pixoria/photo.bmp");

/// Records every command instead of running it; programs answer with the
/// exit code and output scripted for them (0 and nothing by default), or
/// for one exact command line.
class FakeDesktop {
public:
    QStringList commands;
    QHash<QString, int> codes;
    QHash<QString, QString> outputs;
    QStringList portalCalls;
    WallpaperResult portalAnswer{true, QStringLiteral("portal")};

    WallpaperSetter setter(const QString& currentDesktop, const QString& session = {}) {
        WallpaperSetter setter;
        setter.setEnvironment([=](const QString& name) {
            if (name == QLatin1String("XDG_CURRENT_DESKTOP")) {
                return currentDesktop;
            }
            return name == QLatin1String("DESKTOP_SESSION") ? session : QString();
        });
        setter.setRunner(
            [this](const QString& program, const QStringList& arguments, QString* output) {
                const QString line = (QStringList{program} + arguments).join(QLatin1Char(' '));
                commands << line;
                const QString key = codes.contains(line) || outputs.contains(line) ? line : program;
                if (output != nullptr) {
                    *output = outputs.value(key);
                }
                return codes.value(key, 0);
            });
        setter.setPortal([this](const QString& path) {
            portalCalls << path;
            return portalAnswer;
        });
        return setter;
    }
};

TEST(Wallpaper, GnomeItsRelativesAndCinnamonGoThroughGsettings) {
    const QString gnome = QStringLiteral("org.gnome.desktop.background");
    const QString cinnamon = QStringLiteral("org.cinnamon.desktop.background");
    const struct {
        const char* desktop;
        QString schema;
    } cases[] = {{"GNOME", gnome},        {"ubuntu:GNOME", gnome}, {"Unity", gnome},
                 {"Budgie:GNOME", gnome}, {"pop:GNOME", gnome},    {"X-Cinnamon", cinnamon}};
    for (const auto& c : cases) {
        for (bool tiled : {true, false}) {
            FakeDesktop desktop;
            const WallpaperResult result =
                desktop.setter(QString::fromLatin1(c.desktop)).setWallpaper(kPath, tiled);
            EXPECT_TRUE(result.success && !result.message.isEmpty()) << c.desktop;
            const QString set = QStringLiteral("gsettings set ") + c.schema + QLatin1Char(' ');
            QStringList expected = {set + "picture-options " + (tiled ? "wallpaper" : "zoom"),
                                    set + "picture-uri " + kUri};
            if (c.schema == gnome) {  // Cinnamon has no dark variant
                expected << set + "picture-uri-dark " + kUri;
            }
            EXPECT_EQ(desktop.commands, expected) << c.desktop << tiled;
        }
    }
    // GNOME before 42 has no dark key: the wallpaper is set all the same.
    FakeDesktop old;
    old.codes["gsettings set " + gnome + " picture-uri-dark " + kUri] = 1;
    EXPECT_TRUE(old.setter(QStringLiteral("GNOME")).setWallpaper(kPath, false).success);
    // Paths become encoded URIs.
    FakeDesktop spaced;
    spaced.setter(QStringLiteral("GNOME")).setWallpaper(QStringLiteral("/tmp/My Pics/été.bmp"), 0);
    EXPECT_TRUE(spaced.commands.value(1).endsWith(
        QLatin1String(" file:///tmp/My%20Pics/%C3%A9t%C3%A9.bmp")));
}

TEST(Wallpaper, XfceSetsEveryBackdropItLists) {
    const QString listing = QStringLiteral(
        "/backdrop/screen0/monitorHDMI-1/workspace0/color-style\n"
        "/backdrop/screen0/monitorHDMI-1/workspace0/image-style\n"
        "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
        "/backdrop/screen0/monitoreDP-1/workspace1/last-image\n"
        "/desktop-icons/style\n");
    const QString base = QStringLiteral("xfconf-query -c xfce4-desktop -p ");
    for (bool tiled : {true, false}) {
        FakeDesktop desktop;
        desktop.outputs[QStringLiteral("xfconf-query -c xfce4-desktop -l")] = listing;
        const WallpaperResult result =
            desktop.setter(QString(), QStringLiteral("xfce")).setWallpaper(kPath, tiled);
        EXPECT_TRUE(result.success);
        const QString style = tiled ? QStringLiteral("2") : QStringLiteral("5");
        EXPECT_EQ(desktop.commands,
                  QStringList({
                      QStringLiteral("xfconf-query -c xfce4-desktop -l"),
                      base + "/backdrop/screen0/monitorHDMI-1/workspace0/image-style -s " + style,
                      base + "/backdrop/screen0/monitorHDMI-1/workspace0/last-image -s " + kPath,
                      // Never styled: the style property is made.
                      base + "/backdrop/screen0/monitoreDP-1/workspace1/image-style -n -t int -s " +
                          style,
                      base + "/backdrop/screen0/monitoreDP-1/workspace1/last-image -s " + kPath,
                  }));
    }

    FakeDesktop empty;
    empty.outputs[QStringLiteral("xfconf-query")] = QStringLiteral("/desktop-icons/style\n");
    const WallpaperResult nothing = empty.setter(QStringLiteral("XFCE")).setWallpaper(kPath, true);
    EXPECT_FALSE(nothing.success);
    EXPECT_FALSE(nothing.message.isEmpty());
}

TEST(Wallpaper, KdeAndThePortalSayTheyCannotTile) {
    FakeDesktop kde;
    const WallpaperSetter plasma = kde.setter(QString(), QStringLiteral("plasma"));
    const WallpaperResult plain = plasma.setWallpaper(kPath, false);
    const WallpaperResult tiled = plasma.setWallpaper(kPath, true);
    EXPECT_TRUE(plain.success && tiled.success);
    EXPECT_EQ(kde.commands, QStringList(2, "plasma-apply-wallpaperimage " + kPath));
    EXPECT_NE(tiled.message, plain.message);
    EXPECT_TRUE(tiled.message.contains(QLatin1String("tile")));

    // Unknown desktops hand the picture, by its absolute path, to the portal.
    FakeDesktop other;
    WallpaperSetter setter = other.setter(QStringLiteral("LXQt"), QStringLiteral("lxqt"));
    EXPECT_EQ(setter.desktop(), WallpaperSetter::Desktop::Other);
    EXPECT_EQ(setter.setWallpaper(QStringLiteral("relative.bmp"), true).message, tiled.message);
    EXPECT_TRUE(other.commands.isEmpty());
    EXPECT_EQ(other.portalCalls, QStringList(QDir::current().absoluteFilePath("relative.bmp")));
    other.portalAnswer = {false, QStringLiteral("no portal")};
    EXPECT_EQ(setter.setWallpaper(kPath, false).message, QStringLiteral("no portal"));
}

TEST(Wallpaper, FailingCommandsAreReportedAndStopTheRest) {
    FakeDesktop gnome;
    gnome.codes[QStringLiteral("gsettings")] = 1;
    gnome.outputs[QStringLiteral("gsettings")] = QStringLiteral("No such schema\n");
    const WallpaperResult failed = gnome.setter(QStringLiteral("GNOME")).setWallpaper(kPath, true);
    EXPECT_FALSE(failed.success);
    EXPECT_TRUE(failed.message.contains(QLatin1String("gsettings")));
    EXPECT_TRUE(failed.message.contains(QLatin1String("No such schema")));
    EXPECT_EQ(gnome.commands.size(), 1);

    // A program that cannot be run at all.
    FakeDesktop kde;
    kde.codes[QStringLiteral("plasma-apply-wallpaperimage")] = -1;
    const WallpaperResult missing = kde.setter(QStringLiteral("KDE")).setWallpaper(kPath, false);
    EXPECT_FALSE(missing.success);
    EXPECT_TRUE(missing.message.contains(QLatin1String("plasma-apply-wallpaperimage")));
}

TEST(Wallpaper, TheProcessRunnerReportsExitCodesAndOutput) {
    QString output;
    EXPECT_EQ(WallpaperSetter::runProcess(
                  QStringLiteral("sh"), {"-c", "echo listed; echo complaint >&2; exit 0"}, &output),
              0);
    EXPECT_EQ(output, QStringLiteral("listed\n"));
    EXPECT_EQ(WallpaperSetter::runProcess(
                  QStringLiteral("sh"), {"-c", "echo listed; echo complaint >&2; exit 3"}, &output),
              3);
    EXPECT_EQ(output, QStringLiteral("listed\ncomplaint\n"));
    EXPECT_EQ(WallpaperSetter::runProcess(QStringLiteral("/nonexistent/pixoria-no-such-program"),
                                          {}, &output),
              -1);
}

TEST(Wallpaper, TheCopyGoesIntoThePerUserDataFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    const QString folder = WallpaperSetter::wallpaperFolder();
    EXPECT_EQ(folder, home.filePath(QStringLiteral("data/Pixoria/")));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // Under a plain file no folder can be made.
    QFile blocker(home.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("file/data")).toLocal8Bit());
    EXPECT_EQ(WallpaperSetter::wallpaperFolder(), QString());
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
}

TEST(Wallpaper, TheCopysNameEndsInBmp) {
    const struct {
        const char* document;
        const char* copy;
    } cases[] = {
        {"photo.jpg", "photo.bmp"},  {"notes", "notes.bmp"},        {"scan.tiff", "scan.bmp"},
        {"photo.jpeg", "photo.bmp"}, {"a.b.c.tif", "a.b.c.bmp"},    {"picture.bmp", "picture.bmp"},
        {".hidden", ".hidden.bmp"},  {"trailing.", "trailing.bmp"}, {"/home/ann/x.png", "x.bmp"},
        {"odd.p", "odd.bmp"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WallpaperSetter::wallpaperFileName(QString::fromUtf8(c.document)),
                  QString::fromUtf8(c.copy))
            << c.document;
    }
}

}  // namespace
