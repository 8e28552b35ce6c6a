#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class QLabel;

/// The program's version, as the project states it.
inline constexpr char kPixoriaVersion[] = "0.1.0";
/// The program's web site, opened from the About box.
inline constexpr char kPixoriaWebSite[] = "https://pixoria.example.org";

/// What the About box reports of the machine.
struct AboutFacts {
    QString processor;        // the processor's model, or the CPU architecture
    QString cpuArchitecture;  // as QSysInfo::currentCpuArchitecture() names it
    std::optional<quint64> freeMemoryKb;
    std::optional<quint64> freeDiskKb;
    QString diskRoot;  // the mount point the free space belongs to
};

/// One line of facts: its label and its value.
struct AboutLine {
    QString label;
    QString value;
};

/// The architecture as the Windows program named it: "Intel", "Mips",
/// "Alpha", "PPC" or "Unknown".
QString architectureName(const QString& cpuArchitecture);
/// The first "model name" of /proc/cpuinfo's text; empty when it has none.
QString cpuModelName(const QString& cpuinfo);
/// "MemAvailable" of /proc/meminfo's text, in KB.
std::optional<quint64> availableMemoryKb(const QString& meminfo);
/// The facts of this machine, the disk being the one holding `folder`.
AboutFacts readAboutFacts(const QString& folder);
/// The fact lines the About box shows, in order.
QList<AboutLine> aboutLines(const AboutFacts& facts);

/// "About Pixoria": the program's name, version and icon, the processor, the
/// free memory and disk space, and a link to the web site. Interface thread
/// only.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(const AboutFacts& facts, QWidget* parent = nullptr);
    /// The facts of this machine and the current folder's disk.
    explicit CAboutDlg(QWidget* parent = nullptr);

    QLabel* webLink() const { return m_webLink; }
    /// The value texts in the order shown, for tests.
    QStringList valueTexts() const;

private:
    QLabel* m_webLink;
    QList<QLabel*> m_values;
};
