#include "app/mainframe.h"

#include "app/settingsstore.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLabel>
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
