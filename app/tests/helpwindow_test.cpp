#include "app/helpwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

const QString kRoot = QStringLiteral(":/pixoria/help/");

QString pageText(const QString& file) {
    QFile page(kRoot + file);
    return page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()) : QString();
}

/// Whether the page exists and, for "page#anchor", holds that anchor.
bool pageHolds(const QString& target) {
    const QString file = target.section(QLatin1Char('#'), 0, 0);
    const QString anchor = target.section(QLatin1Char('#'), 1);
    if (!QFile::exists(kRoot + file)) {
        return false;
    }
    return anchor.isEmpty() || pageText(file).contains(QStringLiteral("name=\"%1\"").arg(anchor));
}

TEST(HelpPages, EveryPageIsReachedFromTheContentsWithoutBrokenLinks) {
    static const QRegularExpression reference(QStringLiteral(R"re((?:href|src)="([^"]*)")re"));
    QSet<QString> reached{kHelpContentsPage};
    QStringList toWalk{kHelpContentsPage};
    while (!toWalk.isEmpty()) {
        const QString page = toWalk.takeFirst();
        const QString text = pageText(page);
        ASSERT_FALSE(text.isEmpty()) << page.toStdString();
        for (auto it = reference.globalMatch(text); it.hasNext();) {
            const QString target = it.next().captured(1);
            if (target.startsWith(QLatin1String("https://"))) {
                continue;
            }
            // Internal links stay among the pages, relative and lower case.
            EXPECT_FALSE(target.contains(QLatin1Char(':')) || target.contains(QLatin1Char('/')))
                << page.toStdString() << " -> " << target.toStdString();
            EXPECT_TRUE(pageHolds(target)) << page.toStdString() << " -> " << target.toStdString();
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            if (file.endsWith(QLatin1String(".html")) && !reached.contains(file)) {
                reached.insert(file);
                toWalk << file;
            }
        }
    }
    const QStringList shipped = QDir(kRoot).entryList({QStringLiteral("*.html")});
    EXPECT_EQ(reached.size(), shipped.size());
    for (const QString& file : shipped) {
        EXPECT_TRUE(reached.contains(file)) << file.toStdString() << " is not linked";
    }

    // The finder lists every page but the contents, each of which opens in
    // the browser with its title and the style sheet's headings.
    const QList<HelpEntry> contents = helpContents();
    EXPECT_EQ(contents.size(), shipped.size() - 1);
    CHelpWindow window;
    for (const HelpEntry& entry : contents) {
        window.showPage(entry.page);
        EXPECT_EQ(window.currentPage(), entry.page);
        EXPECT_FALSE(window.browser()->documentTitle().isEmpty()) << entry.page.toStdString();
        EXPECT_GT(window.browser()->document()->characterCount(), 200) << entry.page.toStdString();
        EXPECT_EQ(window.contentsList()->currentItem()->text(), entry.text);
    }
}

TEST(HelpPages, EveryTopicMapsToAnExistingPage) {
    const std::pair<int, const char*> topics[] = {
        {5112, "preferences.html"}, {5152, "slideshow.html"},     {1097, "slideshow.html#advanced"},
        {1113, "albums.html"},      {1067, "albums.html#create"}, {1034, "albums.html#edit"},
        {0, "index.html"},          {32891, "index.html"},
    };
    for (const auto& [topic, page] : topics) {
        EXPECT_EQ(helpPageForTopic(topic), QLatin1String(page)) << topic;
        EXPECT_TRUE(pageHolds(helpPageForTopic(topic))) << topic;
    }

    CHelpWindow window;
    window.showTopic(1097);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.finder()->isVisible());
    EXPECT_EQ(window.currentPage(), QStringLiteral("slideshow.html#advanced"));
    EXPECT_EQ(window.contentsList()->currentItem()->data(Qt::UserRole).toString(),
              QStringLiteral("slideshow.html"));
}

TEST(HelpPages, TheIndexFilterFindsAKeywordAndEnterOpensItsPage) {
    CHelpWindow window;
    window.showIndex();
    EXPECT_EQ(window.finder()->currentIndex(), 1);
    QListWidget* index = window.indexList();
    ASSERT_GT(index->count(), 50);

    window.indexFilter()->setText(QStringLiteral("PASSW"));
    QStringList shown;
    for (int row = 0; row < index->count(); ++row) {
        if (!index->item(row)->isHidden()) {
            shown << index->item(row)->text();
        }
    }
    EXPECT_EQ(shown, (QStringList{"password", "set encryption password"}));
    ASSERT_NE(index->currentItem(), nullptr);
    EXPECT_EQ(index->currentItem()->text(), QStringLiteral("password"));

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window.indexFilter(), &enter);
    EXPECT_EQ(window.currentPage(), QStringLiteral("encryption.html"));

    // Nothing matches: Enter leaves the page as it is.
    window.indexFilter()->setText(QStringLiteral("no such word"));
    EXPECT_EQ(index->currentItem(), nullptr);
    QApplication::sendEvent(window.indexFilter(), &enter);
    EXPECT_EQ(window.currentPage(), QStringLiteral("encryption.html"));

    window.indexFilter()->clear();
    for (int row = 0; row < index->count(); ++row) {
        EXPECT_FALSE(index->item(row)->isHidden());
    }
}

}  // namespace
