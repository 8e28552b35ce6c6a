#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTextBrowser;
class QToolButton;

/// The help topic numbers the program asks for.
namespace helptopic {
inline constexpr int kPreferences = 5112;
inline constexpr int kSlideShow = 5152;
inline constexpr int kSlideShowAdvanced = 1097;
inline constexpr int kAlbums = 1113;
inline constexpr int kAlbumCreator = 1067;
inline constexpr int kAlbumEditor = 1034;
}  // namespace helptopic

/// The contents page of the help.
inline const QString kHelpContentsPage = QStringLiteral("index.html");

/// The page (file name and, for a section, "#anchor") for a topic number;
/// the contents page for numbers without a page of their own.
QString helpPageForTopic(int topic);
/// The page's address among the program's resources.
QUrl helpPageUrl(const QString& page);

/// An entry of the contents or of the index: a text and the page it opens.
struct HelpEntry {
    QString text;
    QString page;
};

/// The pages the contents page links to, with their link texts, in order.
QList<HelpEntry> helpContents();
/// The keywords of every page of the contents (each page's "keywords" meta
/// value, comma-separated), sorted without regard to case.
QList<HelpEntry> helpIndex();

/// The help: the pages in a browser, with a finder beside them that holds
/// the "Contents" list and the "Index" of keywords with its filter field.
/// One window serves every help request of the run. Interface thread only.
class CHelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    /// Shows the window with its finder and the topic's page.
    void showTopic(int topic);
    /// Shows the window on the contents, the "Contents" list in front.
    void showContents();
    /// Shows the window with the "Index" in front and its filter focused.
    void showIndex();
    void showPage(const QString& page);

    QTextBrowser* browser() const { return m_browser; }
    QTabWidget* finder() const { return m_finder; }
    QListWidget* contentsList() const { return m_contents; }
    QLineEdit* indexFilter() const { return m_filter; }
    QListWidget* indexList() const { return m_index; }
    /// The page shown now, relative to the help's root ("albums.html#edit").
    QString currentPage() const;

private:
    void bringUp();
    void filterIndex(const QString& text);
    void openIndexEntry(QListWidgetItem* item);
    void pageChanged(const QUrl& url);

    QTabWidget* m_finder;
    QListWidget* m_contents;
    QLineEdit* m_filter;
    QListWidget* m_index;
    QTextBrowser* m_browser;
    QToolButton* m_back;
    QToolButton* m_forward;
};
