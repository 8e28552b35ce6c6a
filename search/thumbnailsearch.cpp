#include "search/thumbnailsearch.h"

#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "platform/prompt.h"
#include "search/searchdirdialog.h"
#include "search/searchmasks.h"
#include "search/thumbnailwindow.h"
#include "search/thumbnailwindows.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>

#include <memory>
#include <mutex>
#include <thread>

namespace search {

namespace {

const QString kDefaultMaskText =
    QString::fromLatin1(kDefaultMask.data(), static_cast<qsizetype>(kDefaultMask.size()));

/// While a walk runs: Esc cancels it, other input from the keyboard and
/// the mouse is dropped; painting and the thumbnails' arrival go on.
class WalkInputFilter : public QObject {
public:
    explicit WalkInputFilter(SearchState& state) : m_state(state) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~WalkInputFilter() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                    m_state.cancel = true;
                }
                return true;
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                return true;
            default:
                return false;
        }
    }

private:
    SearchState& m_state;
};

/// Files found by the walk and not yet in the window.
struct Found {
    std::mutex mutex;
    QStringList paths;
    bool drainPosted = false;
};

void drain(Found& found, ThumbnailWindow* window) {
    QStringList paths;
    {
        const std::lock_guard lock(found.mutex);
        paths.swap(found.paths);
        found.drainPosted = false;
    }
    if (window) {
        window->addFiles(paths);
    }
}

bool sameFolder(QString a, QString b) {
    while (a.size() > 1 && a.endsWith(QLatin1Char('/'))) {
        a.chop(1);
    }
    while (b.size() > 1 && b.endsWith(QLatin1Char('/'))) {
        b.chop(1);
    }
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<FolderChoice> runSearchDirDialog(CFpicApp& app, const FolderRequest& request) {
    CSearchDirDialog dialog(app.prompt(), CSearchDirDialog::Mode::FolderSearch, app.mainFrame());
    dialog.setWindowTitle(request.title);
    dialog.setInitialFolder(request.folder);
    dialog.setMask(request.mask);
    dialog.setIncludeSubFolders(request.includeSubFolders);
    dialog.setOkCaption(request.okCaption);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return FolderChoice{dialog.chosenFolder(), dialog.mask(), dialog.includeSubFolders()};
}

}  // namespace

ThumbnailSearch::ThumbnailSearch(CFpicApp& app, ThumbnailWindows& windows)
    : m_app(app), m_windows(windows) {}

QString ThumbnailSearch::titleText(const QString& folder, const QString& mask,
                                   bool includeSubFolders) {
    QString title = folder;
    if (!title.endsWith(QLatin1Char('/'))) {
        title += QLatin1Char('/');
    }
    title += mask;
    if (includeSubFolders) {
        title += QStringLiteral(" +");
    }
    return title;
}

QString ThumbnailSearch::nothingFoundMessage() {
    return QStringLiteral(
        "No matching images found for thumbnail window!\n\nThumbnail window will be closed.");
}

QString ThumbnailSearch::nothingFoundAlbumMessage() {
    return QStringLiteral("No matching images found!");
}

std::optional<FolderChoice> ThumbnailSearch::choose(const FolderRequest& request) {
    return m_chooser ? m_chooser(request) : runSearchDirDialog(m_app, request);
}

void ThumbnailSearch::setStatusText(const QString& text) {
    if (CMainFrame* frame = m_app.mainFrame()) {
        frame->setMessagePaneText(text);
    }
}

void ThumbnailSearch::run(bool automatic) {
    using namespace prefs::general;
    SettingsStore& settings = m_app.settings();
    QString& folder = m_app.lastFolders().search;
    SearchValues& values = m_app.searchValues();

    setStatusText(CFpicApp::kLoadingThumbnailsText);
    if (automatic) {
        if (settings.read(kSearchGood) == 1) {
            settings.write(kSearchGood, 0);
        } else {
            // The last automatic search found nothing or never ended: start
            // again from the picture folder, or from the root when that
            // already failed.
            const QString pictures = m_app.folders().windows;
            folder = sameFolder(folder, pictures) ? QStringLiteral("/") : pictures;
            values.searchSub = 0;
            values.searchString = kDefaultMaskText;
            settings.write(kLastSearchDir, folder);
            settings.write(kSearchSub, 0);
            settings.write(kSearchString, kDefaultMaskText);
        }
        // The window list has ten places; a start-up search takes none
        // that is not free.
        if (!m_windows.checkRoom()) {
            setStatusText(CFpicApp::kBlankPaneText);
            return;
        }
    } else {
        FolderRequest request;
        request.title = QStringLiteral("Select Directory To Search");
        request.folder = settings.read(kLastSearchDir);
        request.mask = settings.read(kSearchString);
        request.includeSubFolders = settings.read(kSearchSub) != 0;
        const std::optional<FolderChoice> choice = choose(request);
        if (!choice || !m_windows.checkRoom()) {
            setStatusText(CFpicApp::kBlankPaneText);
            return;
        }
        folder = choice->folder;
        values.searchSub = choice->includeSubFolders ? 1 : 0;
        values.searchString = choice->mask;
        settings.write(kLastSearchDir, folder);
        settings.write(kSearchSub, values.searchSub);
        settings.write(kSearchString, values.searchString);
    }

    const QString mask = values.searchString.isEmpty() ? kDefaultMaskText : values.searchString;
    const bool sub = values.searchSub != 0;
    ThumbnailWindow* window = m_windows.createSearchWindow(titleText(folder, mask, sub));
    if (!window) {
        setStatusText(CFpicApp::kBlankPaneText);
        return;
    }
    const int added = walkInto(window, folder, mask, sub);
    setStatusText(CFpicApp::kBlankPaneText);
    m_state.cancel = false;
    if (added > 0) {
        m_windows.recordImages(window, added);
        settings.write(kSearchGood, 1);
    } else {
        m_app.prompt().message(nothingFoundMessage());
        m_windows.discard(window);
    }
}

bool ThumbnailSearch::albumSourceSearch(bool fromWizard) {
    using namespace prefs::general;
    SettingsStore& settings = m_app.settings();
    QString& folder = m_app.lastFolders().albumSearch;
    SearchValues& values = m_app.searchValues();
    if (!fromWizard) {
        FolderRequest request;
        request.title = QStringLiteral("Select Source Directory");
        request.folder = settings.read(kLastAlbumSearchDir);
        request.mask = settings.read(kSearchAlbumString);
        request.includeSubFolders = settings.read(kSearchAlbumSub) != 0;
        request.okCaption = true;
        const std::optional<FolderChoice> choice = choose(request);
        if (!choice) {
            return false;
        }
        folder = choice->folder;
        values.searchAlbumSub = choice->includeSubFolders ? 1 : 0;
        values.searchAlbumString = choice->mask;
    }
    settings.write(kLastAlbumSearchDir, folder);
    settings.write(kSearchAlbumSub, values.searchAlbumSub);
    settings.write(kSearchAlbumString, values.searchAlbumString);

    const QString mask =
        values.searchAlbumString.isEmpty() ? kDefaultMaskText : values.searchAlbumString;
    const bool sub = values.searchAlbumSub != 0;
    const QString title = titleText(folder, mask, sub);
    if (m_collection) {
        m_collection->hide();
        m_collection->close();
    }
    m_collection = m_windows.createToolWindow(ThumbnailWindowKind::AlbumCollection, title);
    m_collection->show();
    const int added = walkInto(m_collection, folder, mask, sub);
    m_state.cancel = false;
    if (added > 0) {
        m_collectionTitle = QStringLiteral("%1 %2").arg(title).arg(added);
        m_collection->setWindowTitle(m_collectionTitle);
    } else {
        m_collectionTitle = title;
        m_app.prompt().message(nothingFoundAlbumMessage());
    }
    return true;
}

int ThumbnailSearch::walkInto(ThumbnailWindow* window, const QString& folder, const QString& mask,
                              bool includeSubFolders) {
    m_state.reset();
    const auto found = std::make_shared<Found>();
    const QPointer<ThumbnailWindow> target(window);
    QEventLoop loop;
    QObject receiver;  // takes the found files on this thread while the walk runs
    const WalkInputFilter filter(m_state);

    std::thread worker([&, found] {
        walkFolder(folder, mask, includeSubFolders, m_state, [&](const QString& path) {
            const std::lock_guard lock(found->mutex);
            found->paths.append(path);
            if (!found->drainPosted) {
                found->drainPosted = true;
                QMetaObject::invokeMethod(
                    &receiver, [found, target] { drain(*found, target); }, Qt::QueuedConnection);
            }
            return 0;
        });
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    drain(*found, target);
    return m_state.imagesAdded;
}

}  // namespace search
