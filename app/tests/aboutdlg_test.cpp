#include "app/aboutdlg.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

/// Takes the web addresses the desktop would open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

TEST(AboutFacts, ArchitecturesAreNamedAsTheWindowsProgramNamedThem) {
    const std::pair<const char*, const char*> cases[] = {
        {"x86_64", "Intel"}, {"i386", "Intel"},      {"mips", "Mips"},   {"mips64", "Mips"},
        {"alpha", "Alpha"},  {"power", "PPC"},       {"power64", "PPC"}, {"arm64", "Unknown"},
        {"ia64", "Unknown"}, {"riscv64", "Unknown"}, {"", "Unknown"},
    };
    for (const auto& [arch, name] : cases) {
        EXPECT_EQ(architectureName(QLatin1String(arch)), QLatin1String(name)) << arch;
    }
}

TEST(AboutFacts, ProcFilesAreReadByTheirExactFieldNames) {
    const QString cpuinfo = QStringLiteral(
        "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel\t\t: 142\n"
        "model name\t: Intel(R) Core(TM) i7-8565U CPU @ 1.80GHz\n\n"
        "processor\t: 1\nmodel name\t: second\n");
    EXPECT_EQ(cpuModelName(cpuinfo), QStringLiteral("Intel(R) Core(TM) i7-8565U CPU @ 1.80GHz"));
    EXPECT_EQ(cpuModelName(QStringLiteral("processor\t: 0\nCPU part\t: 0xd08\n")), QString());

    const QString meminfo = QStringLiteral(
        "MemTotal:       16318412 kB\nMemFree:         1021388 kB\n"
        "MemAvailable:    9876543 kB\nBuffers:          123 kB\n");
    EXPECT_EQ(availableMemoryKb(meminfo), std::optional<quint64>(9876543));
    EXPECT_EQ(availableMemoryKb(QStringLiteral("MemTotal: 1 kB\nMemFree: 2 kB\n")), std::nullopt);
}

TEST(AboutFacts, LinesGiveKilobytesTheMountPointAndUnavailable) {
    AboutFacts facts;
    facts.processor = QStringLiteral("Some CPU");
    facts.cpuArchitecture = QStringLiteral("x86_64");
    facts.freeMemoryKb = 4096;
    facts.freeDiskKb = 123456789;
    facts.diskRoot = QStringLiteral("/home");
    QStringList values;
    for (const AboutLine& line : aboutLines(facts)) {
        values << line.value;
    }
    EXPECT_EQ(values, (QStringList{"Some CPU", "Intel", "4096 KB", "123456789 KB Free on /home"}));

    values.clear();
    for (const AboutLine& line : aboutLines(AboutFacts{})) {
        values << line.value;
    }
    EXPECT_EQ(values, (QStringList{"Unavailable", "Unknown", "Unavailable", "Unavailable"}));
}

TEST(AboutFacts, ThisMachineReportsEveryFact) {
    const AboutFacts facts = readAboutFacts(QDir::currentPath());
    EXPECT_FALSE(facts.processor.isEmpty());
    ASSERT_TRUE(facts.freeMemoryKb.has_value());
    EXPECT_GT(*facts.freeMemoryKb, 0u);
    ASSERT_TRUE(facts.freeDiskKb.has_value());
    EXPECT_TRUE(facts.diskRoot.startsWith(QLatin1Char('/')));
    EXPECT_TRUE(QDir::currentPath().startsWith(facts.diskRoot));
}

TEST(AboutDialog, ShowsTheFactsAndItsLinkOpensTheWebSite) {
    AboutFacts facts;
    facts.processor = QStringLiteral("Some CPU");
    facts.cpuArchitecture = QStringLiteral("power64");
    CAboutDlg dialog(facts);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Pixoria"));
    EXPECT_EQ(dialog.valueTexts(), (QStringList{"Some CPU", "PPC", "Unavailable", "Unavailable"}));
    bool versionShown = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        versionShown |= label->text().contains(QLatin1String("0.1.0"));
    }
    EXPECT_TRUE(versionShown);

    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    Q_EMIT dialog.webLink()->linkActivated(dialog.webLink()->text());
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl(QStringLiteral("https://pixoria.example.org"))});
}

}  // namespace

#include "aboutdlg_test.moc"
