#include "app/aboutdlg.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStorageInfo>
#include <QSysInfo>
#include <QUrl>
#include <QVBoxLayout>

#include <sys/sysinfo.h>

namespace {

constexpr int kIconSize = 64;

QString readProcFile(const char* path) {
    QFile file(QString::fromLatin1(path));
    // /proc files report a size of 0, so read to the end rather than by size.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

/// The value after "key:" on the first line that starts with `key`.
QString fieldValue(const QString& text, QLatin1String key) {
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (!line.startsWith(key)) {
            continue;
        }
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 0 && line.left(colon).trimmed() == key) {
            return line.mid(colon + 1).trimmed().toString();
        }
    }
    return {};
}

QString unavailable() {
    return QStringLiteral("Unavailable");
}

}  // namespace

QString architectureName(const QString& cpuArchitecture) {
    const QString arch = cpuArchitecture.toLower();
    if (arch == QLatin1String("x86_64") || arch == QLatin1String("amd64") ||
        (arch.size() == 4 && arch.startsWith(QLatin1Char('i')) &&
         arch.endsWith(QLatin1String("86")))) {
        return QStringLiteral("Intel");
    }
    if (arch.startsWith(QLatin1String("mips"))) {
        return QStringLiteral("Mips");
    }
    if (arch.startsWith(QLatin1String("alpha"))) {
        return QStringLiteral("Alpha");
    }
    if (arch.startsWith(QLatin1String("power")) || arch.startsWith(QLatin1String("ppc"))) {
        return QStringLiteral("PPC");
    }
    return QStringLiteral("Unknown");
}

QString cpuModelName(const QString& cpuinfo) {
    return fieldValue(cpuinfo, QLatin1String("model name"));
}

std::optional<quint64> availableMemoryKb(const QString& meminfo) {
    // "MemAvailable:   123456 kB"
    const QString value = fieldValue(meminfo, QLatin1String("MemAvailable"));
    bool ok = false;
    const quint64 kb = value.section(QLatin1Char(' '), 0, 0).toULongLong(&ok);
    return ok ? std::optional<quint64>(kb) : std::nullopt;
}

AboutFacts readAboutFacts(const QString& folder) {
    AboutFacts facts;
    facts.cpuArchitecture = QSysInfo::currentCpuArchitecture();
    facts.processor = cpuModelName(readProcFile("/proc/cpuinfo"));
    if (facts.processor.isEmpty()) {
        facts.processor = facts.cpuArchitecture;
    }

    facts.freeMemoryKb = availableMemoryKb(readProcFile("/proc/meminfo"));
    if (!facts.freeMemoryKb) {
        struct sysinfo info {};
        if (sysinfo(&info) == 0) {
            facts.freeMemoryKb = quint64(info.freeram) * info.mem_unit / 1024;
        }
    }

    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.isReady() && storage.bytesAvailable() >= 0) {
        facts.freeDiskKb = quint64(storage.bytesAvailable()) / 1024;
        facts.diskRoot = storage.rootPath();
    }
    return facts;
}

QList<AboutLine> aboutLines(const AboutFacts& facts) {
    QList<AboutLine> lines;
    lines.append({QStringLiteral("Processor:"),
                  facts.processor.isEmpty() ? unavailable() : facts.processor});
    lines.append({QStringLiteral("Architecture:"), architectureName(facts.cpuArchitecture)});
    lines.append(
        {QStringLiteral("Free memory:"),
         facts.freeMemoryKb ? QStringLiteral("%1 KB").arg(*facts.freeMemoryKb) : unavailable()});
    // Linux has no drive letters: the free space is named after the root
    // path of the mount point that holds the folder ("... KB Free on /home").
    lines.append(
        {QStringLiteral("Disk space:"),
         facts.freeDiskKb
             ? QStringLiteral("%1 KB Free on %2").arg(*facts.freeDiskKb).arg(facts.diskRoot)
             : unavailable()});
    return lines;
}

CAboutDlg::CAboutDlg(QWidget* parent) : CAboutDlg(readAboutFacts(QDir::currentPath()), parent) {}

CAboutDlg::CAboutDlg(const AboutFacts& facts, QWidget* parent)
    : QDialog(parent), m_webLink(new QLabel(this)) {
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("About Pixoria"));

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/pixoria/pixoria.svg")).pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* name = new QLabel(QStringLiteral("Pixoria"), this);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    name->setFont(nameFont);
    auto* version =
        new QLabel(QStringLiteral("Version %1").arg(QLatin1String(kPixoriaVersion)), this);
    auto* form = new QFormLayout;
    for (const AboutLine& line : aboutLines(facts)) {
        auto* value = new QLabel(line.value, this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(line.label, value);
        m_values.append(value);
    }

    const QString site = QLatin1String(kPixoriaWebSite);
    m_webLink->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(site));
    m_webLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(m_webLink, &QLabel::linkActivated, this,
            [] { QDesktopServices::openUrl(QUrl(QLatin1String(kPixoriaWebSite))); });

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addLayout(form);
    text->addSpacing(8);
    text->addWidget(m_webLink);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QStringList CAboutDlg::valueTexts() const {
    QStringList texts;
    for (const QLabel* value : m_values) {
        texts << value->text();
    }
    return texts;
}
