#pragma once

#include <QString>
#include <QStringList>

#include <functional>

/// What setting the wallpaper came to; the message is for the user either
/// way (a desktop that cannot tile says so on success).
struct WallpaperResult {
    bool success = false;
    QString message;
};

/// Sets the desktop wallpaper to a picture file through the desktop in use:
/// gsettings on GNOME and its relatives and on Cinnamon, xfconf-query on
/// XFCE, plasma-apply-wallpaperimage on KDE Plasma, else the XDG desktop
/// portal over D-Bus. Commands, the environment and the portal are
/// injectable so tests never touch the real desktop. Interface thread only.
class WallpaperSetter {
public:
    enum class Desktop { Gnome, Cinnamon, Xfce, Kde, Other };

    /// Runs a program and waits for it: the exit code (0 is success), or -1
    /// when it could not start, crashed or ran out of time. `output`, when
    /// given, gets its standard output, then its standard error if it failed.
    using CommandRunner =
        std::function<int(const QString& program, const QStringList& arguments, QString* output)>;
    using EnvironmentLookup = std::function<QString(const QString& name)>;
    /// Hands the file to the desktop portal, which cannot tile.
    using PortalCall = std::function<WallpaperResult(const QString& path)>;

    WallpaperSetter();

    void setRunner(CommandRunner runner) { m_run = std::move(runner); }
    void setEnvironment(EnvironmentLookup lookup) { m_environment = std::move(lookup); }
    void setPortal(PortalCall portal) { m_portal = std::move(portal); }

    /// The desktop named by XDG_CURRENT_DESKTOP, else by DESKTOP_SESSION.
    Desktop desktop() const;
    WallpaperResult setWallpaper(const QString& path, bool tiled) const;

    /// The default runner: QProcess, ten seconds at most.
    static int runProcess(const QString& program, const QStringList& arguments, QString* output);
    /// The default portal call: org.freedesktop.portal.Wallpaper through
    /// QtDBus, waiting for the portal's answer; a failure where QtDBus is
    /// not built in.
    static WallpaperResult callPortal(const QString& path);

    /// The folder the wallpaper's picture is copied into (with a trailing
    /// slash), created when missing; empty when it cannot be made.
    static QString wallpaperFolder();
    /// The name of the wallpaper copy of a document: its file name with the
    /// extension replaced by ".bmp", or ".bmp" added when it has none.
    static QString wallpaperFileName(const QString& documentName);

private:
    WallpaperResult setGsettings(const QString& schema, bool darkToo, const QString& path,
                                 bool tiled) const;
    WallpaperResult setXfce(const QString& path, bool tiled) const;
    WallpaperResult setKde(const QString& path, bool tiled) const;
    /// Runs one command; a failure's result names the command and its output.
    bool run(const QString& program, const QStringList& arguments, QString* output,
             WallpaperResult* failure) const;

    CommandRunner m_run;
    EnvironmentLookup m_environment;
    PortalCall m_portal;
};
