#include "app/mainframe.h"

#include "app/settingsstore.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>

CMainFrame::CMainFrame(SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings) {
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("Pixoria"));
    setWindowIcon(QIcon(QStringLiteral(":/pixoria/pixoria.svg")));
}

bool CMainFrame::create() {
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    m_messagePane = new QLabel(this);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(m_messagePane, 1);

    // Flat toolbars are always available here; the flag is still stored, as
    // the rest of the program and earlier settings expect.
    m_flatToolbar = true;
    m_settings.write(prefs::general::kFlat, 1);
    return true;
}

void CMainFrame::setMessagePaneText(const QString& text) {
    if (m_messagePane) {
        m_messagePane->setText(text);
    }
}

QString CMainFrame::messagePaneText() const {
    return m_messagePane ? m_messagePane->text() : QString();
}

void CMainFrame::showMaximizedOnScreen() {
    if (const QScreen* screen = this->screen()) {
        setGeometry(screen->availableGeometry());
    }
    showMaximized();
}

QAction* CMainFrame::addCommand(const QString& menuTitle, int id, const QString& text,
                               const QKeySequence& shortcut, std::function<void()> handler) {
    QMenu* menu = nullptr;
    for (QAction* action : menuBar()->actions()) {
        if (action->menu() && action->text() == menuTitle) {
            menu = action->menu();
        }
    }
    if (!menu) {
        menu = menuBar()->addMenu(menuTitle);
    }
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    return action;
}

QAction* CMainFrame::command(int id) const {
    for (QAction* action : findChildren<QAction*>()) {
        if (action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
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
