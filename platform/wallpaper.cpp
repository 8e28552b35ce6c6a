#include "platform/wallpaper.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#ifdef PIXORIA_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <QVariantMap>
#endif

namespace {

constexpr int kCommandTimeLimitMs = 10'000;
const QString kXfceChannel = QStringLiteral("xfce4-desktop");
const QString kLastImage = QStringLiteral("last-image");
const QString kImageStyle = QStringLiteral("image-style");
// xfdesktop's image styles.
constexpr int kXfceTiled = 2;
constexpr int kXfceZoomed = 5;

QString setMessage() {
    return QStringLiteral("The wallpaper is set.");
}

QString untiledMessage() {
    return QStringLiteral(
        "The wallpaper is set. This desktop cannot tile it, so it is shown as the desktop "
        "chooses.");
}

WallpaperSetter::Desktop desktopFromNames(const QString& names) {
    using Desktop = WallpaperSetter::Desktop;
    for (const QString& name : names.toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // Cinnamon first: it names itself "X-Cinnamon" and keeps its own schema.
        if (name.contains(QLatin1String("cinnamon"))) {
            return Desktop::Cinnamon;
        }
        if (name.contains(QLatin1String("gnome")) || name.contains(QLatin1String("unity")) ||
            name.contains(QLatin1String("budgie")) || name == QLatin1String("ubuntu") ||
            name == QLatin1String("pop")) {
            return Desktop::Gnome;
        }
        if (name.contains(QLatin1String("xfce"))) {
            return Desktop::Xfce;
        }
        if (name == QLatin1String("kde") || name.startsWith(QLatin1String("plasma"))) {
            return Desktop::Kde;
        }
    }
    return Desktop::Other;
}

#ifdef PIXORIA_HAVE_QTDBUS

constexpr int kPortalCallTimeLimitMs = 10'000;
// The portal may ask the user for permission first.
constexpr int kPortalAnswerTimeLimitMs = 60'000;

/// Receives the portal's Response signal on the request object.
class PortalResponse : public QObject {
    Q_OBJECT

public:
    int code = -1;

public Q_SLOTS:
    void response(uint answer, const QVariantMap&) {
        code = static_cast<int>(answer);
        Q_EMIT answered();
    }

Q_SIGNALS:
    void answered();
};

#endif

}  // namespace

WallpaperSetter::WallpaperSetter()
    : m_run(&WallpaperSetter::runProcess),
      m_environment(
          [](const QString& name) { return qEnvironmentVariable(name.toLocal8Bit().constData()); }),
      m_portal(&WallpaperSetter::callPortal) {}

WallpaperSetter::Desktop WallpaperSetter::desktop() const {
    const Desktop current = desktopFromNames(m_environment(QStringLiteral("XDG_CURRENT_DESKTOP")));
    if (current != Desktop::Other) {
        return current;
    }
    return desktopFromNames(m_environment(QStringLiteral("DESKTOP_SESSION")));
}

WallpaperResult WallpaperSetter::setWallpaper(const QString& path, bool tiled) const {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    switch (desktop()) {
        case Desktop::Gnome:
            return setGsettings(QStringLiteral("org.gnome.desktop.background"), true, absolute,
                                tiled);
        case Desktop::Cinnamon:
            return setGsettings(QStringLiteral("org.cinnamon.desktop.background"), false, absolute,
                                tiled);
        case Desktop::Xfce:
            return setXfce(absolute, tiled);
        case Desktop::Kde:
            return setKde(absolute, tiled);
        case Desktop::Other:
            break;
    }
    WallpaperResult result = m_portal(absolute);
    if (result.success && tiled) {
        result.message = untiledMessage();
    }
    return result;
}

bool WallpaperSetter::run(const QString& program, const QStringList& arguments, QString* output,
                          WallpaperResult* failure) const {
    QString printed;
    const int code = m_run(program, arguments, &printed);
    if (output != nullptr) {
        *output = printed;
    }
    if (code == 0) {
        return true;
    }
    failure->success = false;
    failure->message =
        code < 0 ? QStringLiteral(
                       "Unable to set the wallpaper: \"%1\" could not be run or did "
                       "not finish.")
                       .arg(program)
                 : QStringLiteral("Unable to set the wallpaper: \"%1\" failed (exit code %2).")
                       .arg(program)
                       .arg(code);
    if (!printed.trimmed().isEmpty()) {
        failure->message += QLatin1Char('\n') + printed.trimmed();
    }
    return false;
}

WallpaperResult WallpaperSetter::setGsettings(const QString& schema, bool darkToo,
                                              const QString& path, bool tiled) const {
    const QString program = QStringLiteral("gsettings");
    const QString set = QStringLiteral("set");
    const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    WallpaperResult result;
    // The style first, so the desktop never shows the new picture the old way.
    if (!run(program,
             {set, schema, QStringLiteral("picture-options"),
              tiled ? QStringLiteral("wallpaper") : QStringLiteral("zoom")},
             nullptr, &result) ||
        !run(program, {set, schema, QStringLiteral("picture-uri"), uri}, nullptr, &result)) {
        return result;
    }
    if (darkToo) {
        // GNOME before 42 has no dark key; the light one already took.
        WallpaperResult ignored;
        run(program, {set, schema, QStringLiteral("picture-uri-dark"), uri}, nullptr, &ignored);
    }
    return {true, setMessage()};
}

WallpaperResult WallpaperSetter::setXfce(const QString& path, bool tiled) const {
    const QString program = QStringLiteral("xfconf-query");
    const QString channel = QStringLiteral("-c");
    const QString property = QStringLiteral("-p");
    const QString value = QStringLiteral("-s");
    WallpaperResult result;
    QString listing;
    if (!run(program, {channel, kXfceChannel, QStringLiteral("-l")}, &listing, &result)) {
        return result;
    }
    QStringList properties;
    for (const QString& line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        properties << line.trimmed();
    }
    // One backdrop per monitor and workspace: set them all.
    bool any = false;
    const QString style = QString::number(tiled ? kXfceTiled : kXfceZoomed);
    for (const QString& name : std::as_const(properties)) {
        if (!name.endsWith(kLastImage)) {
            continue;
        }
        any = true;
        const QString styleName = name.left(name.size() - kLastImage.size()) + kImageStyle;
        // A backdrop never styled has no style property yet: create it.
        QStringList styleArguments = {channel, kXfceChannel, property, styleName};
        if (!properties.contains(styleName)) {
            styleArguments << QStringLiteral("-n") << QStringLiteral("-t") << QStringLiteral("int");
        }
        styleArguments << value << style;
        if (!run(program, styleArguments, nullptr, &result) ||
            !run(program, {channel, kXfceChannel, property, name, value, path}, nullptr, &result)) {
            return result;
        }
    }
    if (!any) {
        return {false, QStringLiteral("Unable to set the wallpaper: the XFCE desktop lists no "
                                      "backgrounds to set.")};
    }
    return {true, setMessage()};
}

WallpaperResult WallpaperSetter::setKde(const QString& path, bool tiled) const {
    WallpaperResult result;
    if (!run(QStringLiteral("plasma-apply-wallpaperimage"), {path}, nullptr, &result)) {
        return result;
    }
    return {true, tiled ? untiledMessage() : setMessage()};
}

int WallpaperSetter::runProcess(const QString& program, const QStringList& arguments,
                                QString* output) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(kCommandTimeLimitMs)) {
        return -1;
    }
    if (!process.waitForFinished(kCommandTimeLimitMs)) {
        process.kill();
        process.waitForFinished(kCommandTimeLimitMs);
        return -1;
    }
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (output != nullptr) {
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
        if (code != 0) {
            *output += QString::fromLocal8Bit(process.readAllStandardError());
        }
    }
    return code;
}

WallpaperResult WallpaperSetter::callPortal(const QString& path) {
#ifndef PIXORIA_HAVE_QTDBUS
    Q_UNUSED(path);
    return {false, QStringLiteral("Unable to set the wallpaper: this desktop is not one Pixoria "
                                  "knows, and D-Bus is not available to ask it.")};
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return {false, QStringLiteral("Unable to set the wallpaper: this desktop is not one "
                                      "Pixoria knows, and there is no session bus to ask it.")};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {false, QStringLiteral("Unable to set the wallpaper: %1 cannot be read.")
                           .arg(QDir::toNativeSeparators(path))};
    }
    // The answer comes as a signal on a request object named after our bus
    // name and a token; listening there before asking means it cannot be missed.
    const QString token = QStringLiteral("pixoria%1").arg(QRandomGenerator::global()->generate());
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    QString requestPath =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
    const QString responseName = QStringLiteral("Response");
    PortalResponse receiver;
    bus.connect(service, requestPath, requestInterface, responseName, &receiver,
                SLOT(response(uint, QVariantMap)));

    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Wallpaper"), QStringLiteral("SetWallpaperFile"));
    const QVariantMap options = {{QStringLiteral("show-preview"), false},
                                 {QStringLiteral("set-on"), QStringLiteral("background")},
                                 {QStringLiteral("handle_token"), token}};
    call << QString() << QVariant::fromValue(QDBusUnixFileDescriptor(file.handle())) << options;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kPortalCallTimeLimitMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        bus.disconnect(service, requestPath, requestInterface, responseName, &receiver,
                       SLOT(response(uint, QVariantMap)));
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")) {
            return {false, QStringLiteral("Unable to set the wallpaper: this desktop is not one "
                                          "Pixoria knows, and it has no desktop portal to ask.")};
        }
        return {false, QStringLiteral("Unable to set the wallpaper: the desktop portal refused "
                                      "(%1).")
                           .arg(reply.errorMessage())};
    }
    // Portals older than the token convention pick their own request path.
    const QList<QVariant> arguments = reply.arguments();
    if (!arguments.isEmpty()) {
        const QString handle = arguments.first().value<QDBusObjectPath>().path();
        if (!handle.isEmpty() && handle != requestPath) {
            bus.disconnect(service, requestPath, requestInterface, responseName, &receiver,
                           SLOT(response(uint, QVariantMap)));
            requestPath = handle;
            bus.connect(service, requestPath, requestInterface, responseName, &receiver,
                        SLOT(response(uint, QVariantMap)));
        }
    }
    if (receiver.code < 0) {
        QEventLoop loop;
        QObject::connect(&receiver, &PortalResponse::answered, &loop, &QEventLoop::quit);
        QTimer::singleShot(kPortalAnswerTimeLimitMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    bus.disconnect(service, requestPath, requestInterface, responseName, &receiver,
                   SLOT(response(uint, QVariantMap)));
    switch (receiver.code) {
        case 0:
            return {true, setMessage()};
        case 1:
            return {false, QStringLiteral("The wallpaper was not set: the request was cancelled.")};
        case -1:
            return {false, QStringLiteral("Unable to set the wallpaper: the desktop portal did "
                                          "not answer.")};
        default:
            return {false, QStringLiteral("Unable to set the wallpaper: the desktop portal "
                                          "could not set it.")};
    }
#endif
}

QString WallpaperSetter::wallpaperFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        return {};
    }
    const QString folder = data + QStringLiteral("/Pixoria/");
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable()) {
        return {};
    }
    return folder;
}

QString WallpaperSetter::wallpaperFileName(const QString& documentName) {
    const QString name = QFileInfo(documentName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // The old rule put ".bmp" over the last four characters, which only works
    // for three-letter extensions ("photo.jpeg" would become "photo.j.bmp"):
    // the extension is replaced from the last dot instead, which is the same
    // for ".jpg" and right for ".jpeg" and ".tiff". A leading dot marks a
    // hidden file, not an extension.
    if (dot <= 0) {
        return name + QStringLiteral(".bmp");
    }
    return name.left(dot) + QStringLiteral(".bmp");
}

#ifdef PIXORIA_HAVE_QTDBUS
#include "wallpaper.moc"
#endif
