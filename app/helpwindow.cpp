#include "app/helpwindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kHelpRoot = QStringLiteral("/pixoria/help/");

QString readHelpFile(const QString& page) {
    QFile file(QLatin1Char(':') + kHelpRoot + page);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString plainText(const QString& html) {
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

}  // namespace

QString helpPageForTopic(int topic) {
    switch (topic) {
        case helptopic::kPreferences:
            return QStringLiteral("preferences.html");
        case helptopic::kSlideShow:
            return QStringLiteral("slideshow.html");
        case helptopic::kSlideShowAdvanced:
            return QStringLiteral("slideshow.html#advanced");
        case helptopic::kAlbums:
            return QStringLiteral("albums.html");
        case helptopic::kAlbumCreator:
            return QStringLiteral("albums.html#create");
        case helptopic::kAlbumEditor:
            return QStringLiteral("albums.html#edit");
        default:
            return kHelpContentsPage;
    }
}

QUrl helpPageUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc:") + kHelpRoot + page);
}

QList<HelpEntry> helpContents() {
    // The contents page is the one list of pages: the finder reads it rather
    // than keep a second list that could drift from it.
    static const QRegularExpression link(
        QStringLiteral(R"re(<a\s+href="([a-z0-9-]+\.html)"\s*>(.*?)</a>)re"),
        QRegularExpression::DotMatchesEverythingOption);
    QList<HelpEntry> entries;
    const QString index = readHelpFile(kHelpContentsPage);
    for (auto it = link.globalMatch(index); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString page = match.captured(1);
        const bool known =
            std::any_of(entries.cbegin(), entries.cend(),
                        [&page](const HelpEntry& entry) { return entry.page == page; });
        if (page != kHelpContentsPage && !known) {
            entries.append({plainText(match.captured(2)), page});
        }
    }
    return entries;
}

QList<HelpEntry> helpIndex() {
    static const QRegularExpression keywords(
        QStringLiteral(R"re(<meta\s+name="keywords"\s+content="([^"]*)")re"));
    QList<HelpEntry> entries;
    for (const HelpEntry& page : helpContents()) {
        const QRegularExpressionMatch match = keywords.match(readHelpFile(page.page));
        if (!match.hasMatch()) {
            continue;
        }
        for (const QString& keyword : match.captured(1).split(QLatin1Char(','))) {
            const QString text = plainText(keyword);
            if (!text.isEmpty()) {
                entries.append({text, page.page});
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const HelpEntry& a, const HelpEntry& b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    });
    return entries;
}

CHelpWindow::CHelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_finder(new QTabWidget(this)),
      m_contents(new QListWidget(this)),
      m_filter(new QLineEdit(this)),
      m_index(new QListWidget(this)),
      m_browser(new QTextBrowser(this)),
      m_back(new QToolButton(this)),
      m_forward(new QToolButton(this)) {
    setObjectName(QStringLiteral("CHelpWindow"));
    setWindowTitle(QStringLiteral("Pixoria Help"));
    resize(900, 640);

    for (const HelpEntry& entry : helpContents()) {
        auto* item = new QListWidgetItem(entry.text, m_contents);
        item->setData(Qt::UserRole, entry.page);
    }
    for (const HelpEntry& entry : helpIndex()) {
        auto* item = new QListWidgetItem(entry.text, m_index);
        item->setData(Qt::UserRole, entry.page);
    }

    auto* indexPage = new QWidget(this);
    auto* indexColumn = new QVBoxLayout(indexPage);
    auto* filterLabel =
        new QLabel(QStringLiteral("&Type the word you are looking for:"), indexPage);
    filterLabel->setBuddy(m_filter);
    m_filter->setClearButtonEnabled(true);
    indexColumn->addWidget(filterLabel);
    indexColumn->addWidget(m_filter);
    indexColumn->addWidget(m_index, 1);
    m_finder->addTab(m_contents, QStringLiteral("Contents"));
    m_finder->addTab(indexPage, QStringLiteral("Index"));

    m_back->setText(QStringLiteral("&Back"));
    m_back->setEnabled(false);
    m_forward->setText(QStringLiteral("&Forward"));
    m_forward->setEnabled(false);
    auto* home = new QToolButton(this);
    home->setText(QStringLiteral("&Contents"));
    auto* tools = new QHBoxLayout;
    tools->addWidget(m_back);
    tools->addWidget(m_forward);
    tools->addWidget(home);
    tools->addStretch();

    auto* pages = new QWidget(this);
    auto* pageColumn = new QVBoxLayout(pages);
    pageColumn->setContentsMargins(0, 0, 0, 0);
    pageColumn->addLayout(tools);
    pageColumn->addWidget(m_browser, 1);
    m_browser->setOpenExternalLinks(true);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_finder);
    splitter->addWidget(pages);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    connect(m_contents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(m_contents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(m_filter, &QLineEdit::textChanged, this, &CHelpWindow::filterIndex);
    connect(m_filter, &QLineEdit::returnPressed, this,
            [this] { openIndexEntry(m_index->currentItem()); });
    connect(m_index, &QListWidget::itemActivated, this, &CHelpWindow::openIndexEntry);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, [this] { showPage(kHelpContentsPage); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &CHelpWindow::pageChanged);

    showPage(kHelpContentsPage);
}

void CHelpWindow::showTopic(int topic) {
    showPage(helpPageForTopic(topic));
    bringUp();
}

void CHelpWindow::showContents() {
    showPage(kHelpContentsPage);
    m_finder->setCurrentIndex(0);
    bringUp();
}

void CHelpWindow::showIndex() {
    m_finder->setCurrentIndex(1);
    bringUp();
    m_filter->setFocus();
    m_filter->selectAll();
}

void CHelpWindow::showPage(const QString& page) {
    // A click and an activation of the same contents entry would otherwise
    // put the page in the history twice.
    if (page != currentPage()) {
        m_browser->setSource(helpPageUrl(page));
    }
}

QString CHelpWindow::currentPage() const {
    const QUrl source = m_browser->source();
    QString page = source.path().mid(kHelpRoot.size());
    if (source.hasFragment()) {
        page += QLatin1Char('#') + source.fragment();
    }
    return page;
}

void CHelpWindow::bringUp() {
    m_finder->show();
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void CHelpWindow::filterIndex(const QString& text) {
    // Keywords that contain the text stay listed; the first that begins with
    // it (else the first listed) is selected, so Enter opens the likely one.
    QListWidgetItem* first = nullptr;
    QListWidgetItem* prefix = nullptr;
    for (int row = 0; row < m_index->count(); ++row) {
        QListWidgetItem* item = m_index->item(row);
        const bool shown = item->text().contains(text, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !first) {
            first = item;
        }
        if (shown && !prefix && item->text().startsWith(text, Qt::CaseInsensitive)) {
            prefix = item;
        }
    }
    m_index->setCurrentItem(prefix ? prefix : first);
}

void CHelpWindow::openIndexEntry(QListWidgetItem* item) {
    if (item && !item->isHidden()) {
        showPage(item->data(Qt::UserRole).toString());
    }
}

void CHelpWindow::pageChanged(const QUrl& url) {
    // Keep the contents list on the page shown, however it was reached.
    const QString page = url.path().mid(kHelpRoot.size());
    for (int row = 0; row < m_contents->count(); ++row) {
        QListWidgetItem* item = m_contents->item(row);
        if (item->data(Qt::UserRole).toString() == page) {
            m_contents->setCurrentItem(item);
            return;
        }
    }
    m_contents->clearSelection();
}
