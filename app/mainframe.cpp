#include "app/mainframe.h"

#include "app/aboutdlg.h"
#include "app/commandids.h"
#include "app/settingsstore.h"
#include "app/toolbaricons.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <ctime>

namespace {

// The read-out panes start as wide as these many spaces.
constexpr int kInitialPaneSpaces[CMainFrame::kReadoutPanes] = {10, 10, 8, 10, 8};
constexpr int kClockMilliseconds = 10000;
constexpr int kWideScreen = 800;

// Toolbar 128, in order; 0 is a separator.
constexpr int kToolbar[] = {
    command::kFileNew,
    command::kFileOpen,
    command::kFileSave,
    command::kFilePrint,
    0,
    command::kEditCopy,
    command::kEditPaste,
    command::kEditUndo,
    command::kFind,
    0,
    command::kPointer,
    command::kText,
    command::kZoom,
    0,
    command::kWizard,
    command::kSlideShow,
    command::kCreateRuntime,
    command::kPlayRuntime,
    0,
    command::kViewAlbum,
    command::kNewAlbum,
    command::kEditAlbum,
    0,
    command::kWallpaper,
    command::kCapture,
    0,
    command::kImageInformation,
    command::kHelpContents,
};

QString strftimeText(const QDateTime& moment, const char* format) {
    const std::time_t seconds = static_cast<std::time_t>(moment.toSecsSinceEpoch());
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[128];
    const size_t length = std::strftime(buffer, sizeof buffer, format, &local);
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
}

}  // namespace

CMainFrame::CMainFrame(SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("Pixoria"));
    setWindowIcon(QIcon(QStringLiteral(":/pixoria/pixoria.svg")));
}

CMainFrame::~CMainFrame() {
    // Pictures copied to the clipboard go with the program.
    if (QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard && clipboard->ownsClipboard()) {
        clipboard->clear();
    }
}

bool CMainFrame::create() {
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    auto* message = new QLabel(this);
    message->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(message, 1);
    m_panes.append(message);
    for (int spaces : kInitialPaneSpaces) {
        auto* pane = new QLabel(QString(spaces, QLatin1Char(' ')), this);
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setFrameShadow(QFrame::Sunken);
        statusBar()->addPermanentWidget(pane);
        m_panes.append(pane);
    }

    // Flat toolbars are always available here; the flag is still stored, as
    // the rest of the program and earlier settings expect.
    m_flatToolbar = true;
    m_settings.write(prefs::general::kFlat, 1);

    createToolbar();

    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen && screen->geometry().width() >= kWideScreen) {
        for (int i = 0; i < 2; ++i) {
            auto* pane = new QLabel(this);
            pane->setFrameShape(QFrame::StyledPanel);
            pane->setFrameShadow(QFrame::Sunken);
            statusBar()->addPermanentWidget(pane);
            m_panes.append(pane);
        }
        refreshClock();
        auto* clock = new QTimer(statusBar());
        connect(clock, &QTimer::timeout, this, &CMainFrame::refreshClock);
        clock->start(kClockMilliseconds);
    }

    m_commands.add(command::kHelpContents, [this] { showHelp(kHelpContentsTopic); });
    m_commands.add(command::kWebSite,
                   [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kPixoriaWebSite))); });
    m_commands.add(
        command::kViewToolbar, [this] { m_toolbar->setHidden(!m_toolbar->isHidden()); },
        [this](CommandState* state) { state->checked = !m_toolbar->isHidden(); });
    m_commands.add(
        command::kViewStatusBar, [this] { statusBar()->setHidden(!statusBar()->isHidden()); },
        [this](CommandState* state) { state->checked = !statusBar()->isHidden(); });
    m_commands.add(command::kWindowCascade, [this] { m_mdiArea->cascadeSubWindows(); });
    m_commands.add(command::kWindowTile, [this] { m_mdiArea->tileSubWindows(); });
    m_commands.add(command::kWindowArrange, [this] { m_mdiArea->tileSubWindows(); });
    m_commands.add(command::kAppExit, [this] { close(); });
    for (int id : {command::kHelpTopics, command::kHelp, command::kContextHelp}) {
        m_commands.add(id, [this] { showHelp(kHelpIndexTopic); });
    }
    return true;
}

void CMainFrame::createToolbar() {
    m_toolbar = new QToolBar(QStringLiteral("Main"), this);
    m_toolbar->setObjectName(QStringLiteral("Main"));
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
}

void CMainFrame::showHelp(int topic) {
    if (m_help) {
        m_help(topic);
    }
}

void CMainFrame::installCommands(CommandRouter& router, std::function<QStringList()> recentFiles) {
    const auto act = [&router](int id) {
        QAction* action = router.action(id);
        if (action && action->icon().isNull()) {
            action->setIcon(commandIcon(id));
        }
        return action;
    };
    for (int id : kToolbar) {
        if (id == 0) {
            m_toolbar->addSeparator();
        } else {
            m_toolbar->addAction(act(id));
        }
    }
    // Pointer and Zoom are a check group on the toolbar.
    auto* tools = new QActionGroup(this);
    tools->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    tools->addAction(act(command::kPointer));
    tools->addAction(act(command::kZoom));

    using namespace command;
    const auto menu = [&](const QString& title, std::initializer_list<int> ids) {
        QMenu* m = menuBar()->addMenu(title);
        for (int id : ids) {
            if (id == 0) {
                m->addSeparator();
            } else {
                m->addAction(act(id));
            }
        }
        return m;
    };
    QMenu* file =
        menu(QStringLiteral("&File"), {kFileNew, kFileOpen, kFileClose, kFileSave, kFileSaveAs, 0,
                                       kFilePrint, kFilePrintPreview, kFilePrintSetup, 0, kAcquire,
                                       kSelectSource, 0, kSetPassword, kPreferences, 0});
    QAction* recentEnd = file->addSeparator();
    file->addAction(act(kAppExit));
    if (recentFiles) {
        // The recent files sit between separators above Exit, numbered, and
        // are listed afresh each time the menu opens (the menu collapses the
        // separators while the list is empty).
        auto* recent = new QActionGroup(file);
        connect(file, &QMenu::aboutToShow, file, [file, recent, recentEnd, recentFiles, &router] {
            qDeleteAll(recent->actions());
            const QStringList paths = recentFiles();
            for (int i = 0; i < paths.size() && i <= kFileMruLast - kFileMruFirst; ++i) {
                auto* entry =
                    new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(paths[i]), recent);
                connect(entry, &QAction::triggered, &router,
                        [&router, i] { router.route(kFileMruFirst + i); });
                file->insertAction(recentEnd, entry);
            }
        });
    }
    // Select, Object, Crop and the select size are in the menus too, so the
    // mouse is not the only way to them.
    menu(QStringLiteral("&Edit"),
         {kEditUndo, 0, kEditCut, kEditCopy, kEditPaste, kPasteAsObject, kCombineText, 0, kCrop,
          kSetSelectSize, 0, kDelete, 0, kCapture});
    menu(QStringLiteral("&View"), {kViewToolbar, kViewStatusBar, 0, kPointer, kSelectTool, kText,
                                   kObjectMode, kZoom, 0, kImageInformation, kWallpaper});
    menu(QStringLiteral("&Tools"), {kFind, 0, kSlideShow, kInstantSlideShow, 0, kCreateRuntime,
                                    kInstantPlayer, kPlayRuntime, 0, kWizard});
    menu(QStringLiteral("&Album"), {kNewAlbum, kEditAlbum, kViewAlbum});
    QMenu* windows = menu(QStringLiteral("&Window"),
                          {kWindowNew, kWindowCascade, kWindowTile, kWindowArrange, 0, kCloseAll});
    // The open windows are listed below, the active one checked.
    auto* listed = new QActionGroup(windows);
    connect(windows, &QMenu::aboutToShow, windows, [this, windows, listed] {
        qDeleteAll(listed->actions());
        const QList<QMdiSubWindow*> children = m_mdiArea->subWindowList();
        if (!children.isEmpty()) {
            auto* separator = new QAction(listed);
            separator->setSeparator(true);
            windows->addAction(separator);
        }
        for (int i = 0; i < children.size(); ++i) {
            QMdiSubWindow* child = children[i];
            auto* entry =
                new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(child->windowTitle()), listed);
            entry->setCheckable(true);
            entry->setChecked(child == m_mdiArea->activeSubWindow());
            connect(entry, &QAction::triggered, child,
                    [this, child] { m_mdiArea->setActiveSubWindow(child); });
            windows->addAction(entry);
        }
    });
    menu(QStringLiteral("&Help"), {kHelpContents, kHelpTopics, 0, kWebSite, 0, kAbout});
    // Accelerators without a menu entry still need their actions in the window.
    for (int id : {kHelp, kContextHelp, kNextPane, kPreviousPane, kWizardBack}) {
        addAction(router.action(id));
    }
    router.updateAll();
}

void CMainFrame::setMessagePaneText(const QString& text) {
    setPaneText(0, text);
}

QString CMainFrame::messagePaneText() const {
    return paneText(0);
}

void CMainFrame::setPaneText(int pane, const QString& text) {
    if (pane < 0 || pane >= m_panes.size()) {
        return;
    }
    QLabel* label = m_panes[pane];
    label->setText(text);
    if (pane > 0) {
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(text) +
                             2 * label->frameWidth() + 8);
    }
}

QString CMainFrame::paneText(int pane) const {
    return pane >= 0 && pane < m_panes.size() ? m_panes[pane]->text() : QString();
}

int CMainFrame::paneCount() const {
    return static_cast<int>(m_panes.size());
}

QString CMainFrame::dateText(const QDateTime& moment) {
    return strftimeText(moment, "%A, %B %d, %y ");
}

QString CMainFrame::timeText(const QDateTime& moment) {
    return strftimeText(moment, "%I:%M  ") +
           (moment.time().hour() < 12 ? QStringLiteral("AM ") : QStringLiteral("PM "));
}

void CMainFrame::refreshClock() {
    if (m_panes.size() < kReadoutPanes + 3) {
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    setPaneText(kReadoutPanes + 1, dateText(now));
    setPaneText(kReadoutPanes + 2, timeText(now));
}

void CMainFrame::showMaximizedOnScreen() {
    if (const QScreen* screen = this->screen()) {
        setGeometry(screen->availableGeometry());
    }
    showMaximized();
}

void CMainFrame::toggleFullScreen() {
    if (!m_fullScreen) {
        m_placement = saveGeometry();
        m_fullScreen = true;
        menuBar()->hide();
        statusBar()->hide();
        showFullScreen();
        if (const QScreen* screen = this->screen()) {
            setGeometry(screen->geometry());
        }
    } else {
        m_fullScreen = false;
        menuBar()->show();
        statusBar()->show();
        showNormal();
        restoreGeometry(m_placement);
        showMaximizedOnScreen();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        Q_EMIT filesDropped(paths);
    }
}
