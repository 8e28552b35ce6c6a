#include "search/thumbnailwindows.h"

#include "app/fpicapp.h"
#include "app/mainframe.h"
#include "platform/prompt.h"
#include "search/thumbnailwindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace search {

namespace {

const QString kEmptySlot = QStringLiteral("empty");

size_t index(ThumbnailWindowKind kind) {
    return static_cast<size_t>(kind);
}

bool isDeleteOrP(int key) {
    return key == Qt::Key_Delete || key == Qt::Key_P;
}

}  // namespace

QRect thumbnailWindowGeometry(ThumbnailWindowKind kind, QSize screen, int n) {
    const int w = screen.width();
    const int h = screen.height();
    switch (kind) {
        case ThumbnailWindowKind::Search:
            return {w - 270 - 20 * n, 70, 268, h - 97};
        case ThumbnailWindowKind::AlbumCollection:
            return {30, 70, 268, h - 97};
        case ThumbnailWindowKind::AlbumPhotos:
            return {w - 270, 70, 268, h - 97};
        case ThumbnailWindowKind::SlideShowImages:
        case ThumbnailWindowKind::RuntimeImages:
            return {w - 350, 70, 348, h - 189};
    }
    return {};
}

ThumbnailWindows::ThumbnailWindows(CFpicApp& app, Thumbnailer& thumbnailer, QObject* parent)
    : QObject(parent), m_app(app), m_thumbnailer(thumbnailer) {
    m_titles.fill(kEmptySlot);
    qApp->installEventFilter(this);
}

ThumbnailWindows::~ThumbnailWindows() {
    qApp->removeEventFilter(this);
    for (const QPointer<ThumbnailWindow>& window : m_windows) {
        delete window.data();
    }
    for (const ToolWindow& tool : m_toolWindows) {
        delete tool.window.data();
    }
}

QString ThumbnailWindows::tooManyWindowsMessage() {
    return QStringLiteral("Aborting: Only 10 thumbnail windows may be open at 1 time.");
}

bool ThumbnailWindows::checkRoom() {
    prune();
    if (m_count >= kMaxSearchWindows) {
        m_app.prompt().message(tooManyWindowsMessage());
        return false;
    }
    return true;
}

ThumbnailWindow* ThumbnailWindows::createSearchWindow(const QString& titleText) {
    closeWindowTitled(titleText);
    if (m_count >= kMaxSearchWindows) {
        m_app.prompt().message(tooManyWindowsMessage());
        return nullptr;
    }
    ThumbnailWindow* window = makeWindow(ThumbnailWindowKind::Search, m_count);
    window->setWindowTitle(titleText);
    const auto slot = static_cast<size_t>(m_count++);
    m_titles[slot] = titleText;
    m_windows[slot] = window;
    m_imageCounts[slot] = 0;
    window->show();
    return window;
}

void ThumbnailWindows::closeWindowTitled(const QString& titleText) {
    for (int slot = 0; slot < m_count; ++slot) {
        if (m_titles[static_cast<size_t>(slot)].startsWith(titleText)) {
            if (ThumbnailWindow* window = m_windows[static_cast<size_t>(slot)]) {
                window->hide();
                window->close();
            }
            freeSlot(slot);
            return;
        }
    }
}

void ThumbnailWindows::recordImages(ThumbnailWindow* window, int count) {
    const int slot = slotOf(window);
    if (slot < 0) {
        return;
    }
    const auto at = static_cast<size_t>(slot);
    m_imageCounts[at] = count;
    m_runningTotal += count;
    m_titles[at] += QStringLiteral(" %1").arg(count);
    window->setWindowTitle(m_titles[at]);
}

void ThumbnailWindows::discard(ThumbnailWindow* window) {
    if (window) {
        window->close();
    }
    prune();
}

void ThumbnailWindows::prune() {
    int slot = 0;
    while (slot < m_count) {
        const auto at = static_cast<size_t>(slot);
        const ThumbnailWindow* window = m_windows[at];
        if (!window || window->isClosed() || window->windowTitle() != m_titles[at]) {
            freeSlot(slot);
        } else {
            ++slot;
        }
    }
}

void ThumbnailWindows::freeSlot(int slot) {
    const auto at = static_cast<size_t>(slot);
    const auto last = static_cast<size_t>(m_count - 1);
    m_runningTotal -= m_imageCounts[at];
    m_titles[at] = m_titles[last];
    m_windows[at] = m_windows[last];
    m_imageCounts[at] = m_imageCounts[last];
    m_titles[last] = kEmptySlot;
    m_windows[last] = nullptr;
    m_imageCounts[last] = 0;
    --m_count;
}

void ThumbnailWindows::showAll(bool visible) {
    for (int slot = 0; slot < m_count; ++slot) {
        if (ThumbnailWindow* window = m_windows[static_cast<size_t>(slot)]) {
            window->setVisible(visible);
        }
    }
}

ThumbnailWindow* ThumbnailWindows::createToolWindow(ThumbnailWindowKind kind,
                                                    const QString& title) {
    ThumbnailWindow* window = makeWindow(kind, m_count);
    window->setWindowTitle(title);
    m_toolWindows.append({kind, window});
    return window;
}

void ThumbnailWindows::setHandler(ThumbnailWindowKind kind,
                                  std::function<void(const QString& path)> handler) {
    m_handlers[index(kind)] = std::move(handler);
}

ThumbnailWindow* ThumbnailWindows::makeWindow(ThumbnailWindowKind kind, int n) {
    QWidget* frame = m_app.mainFrame();
    auto* window = new ThumbnailWindow(m_thumbnailer, frame);
    // Search windows cannot be maximised; the tools' windows have no
    // window menu or close button, their tools close them.
    Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (kind == ThumbnailWindowKind::Search) {
        flags |= Qt::WindowCloseButtonHint;
    }
    window->setWindowFlags(flags);
    const QScreen* screen =
        frame && frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    window->setGeometry(thumbnailWindowGeometry(kind, screenSize, n));
    connect(window, &ThumbnailWindow::chosen, this,
            [this, window](const QString& path) { dispatch(window, path); });
    return window;
}

int ThumbnailWindows::slotOf(const ThumbnailWindow* window) const {
    for (int slot = 0; slot < m_count; ++slot) {
        if (window && m_windows[static_cast<size_t>(slot)] == window) {
            return slot;
        }
    }
    return -1;
}

bool ThumbnailWindows::isSearchWindow(const QObject* window) const {
    return slotOf(qobject_cast<const ThumbnailWindow*>(window)) >= 0;
}

bool ThumbnailWindows::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!isDeleteOrP(key->key()) || !widget || !isSearchWindow(widget->window())) {
        return false;
    }
    if (type == QEvent::KeyPress) {
        if (key->key() == Qt::Key_Delete) {
            m_deletePending = true;
        } else {
            m_pathPending = true;
        }
    } else if (!m_deletePending && !m_pathPending) {
        return false;
    }
    // The key becomes Enter, which chooses the current thumbnail.
    QKeyEvent enter(type, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(watched, &enter);
    return true;
}

void ThumbnailWindows::dispatch(ThumbnailWindow* source, const QString& path) {
    m_lastSource = source;
    PromptService& prompt = m_app.prompt();
    if (m_pathPending) {
        m_pathPending = false;
        prompt.message(path, PromptService::Icon::Information, QStringLiteral("Path"));
        return;
    }
    if (m_deletePending) {
        m_deletePending = false;
        deleteFile(path);
        return;
    }
    ThumbnailWindowKind kind = ThumbnailWindowKind::Search;
    for (const ToolWindow& tool : m_toolWindows) {
        if (tool.window == source) {
            kind = tool.kind;
        }
    }
    const std::function<void(const QString&)>& handler = m_handlers[index(kind)];
    const AppModes& modes = m_app.modes();
    const bool toolTakesIt = (kind == ThumbnailWindowKind::SlideShowImages && modes.slideShow) ||
                             (kind == ThumbnailWindowKind::RuntimeImages && modes.player) ||
                             kind == ThumbnailWindowKind::AlbumCollection ||
                             kind == ThumbnailWindowKind::AlbumPhotos;
    if (toolTakesIt) {
        if (handler) {
            handler(path);
        }
        return;
    }
    if (m_app.entryPoints().openDocumentFile) {
        m_app.entryPoints().openDocumentFile(path);
    }
}

void ThumbnailWindows::deleteFile(const QString& path) {
    PromptService& prompt = m_app.prompt();
    const QFileInfo info(path);
    if (info.exists() && !info.isWritable()) {
        prompt.message(QStringLiteral("Unable to delete: %1, file is Read Only").arg(path));
        return;
    }
    if (prompt.ask(QStringLiteral("Are you sure you want delete %1?").arg(path),
                   PromptService::Buttons::YesNo) != PromptService::Answer::Yes) {
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    file.close();
    if (!file.remove()) {
        // Removing can still fail (a folder the user may not change); say so
        // rather than leave the user believing the file is gone.
        prompt.message(QStringLiteral("Unable to delete: %1, %2").arg(path, file.errorString()));
    }
}

}  // namespace search
