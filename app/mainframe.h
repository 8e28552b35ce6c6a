#pragma once

#include <QKeySequence>
#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class SettingsStore;

/// The main window: a multi-document workspace with a status bar whose
/// first pane carries the program's messages.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(SettingsStore& settings, QWidget* parent = nullptr);

    /// The frame's creation steps; false when the frame could not be made.
    bool create();

    QMdiArea* mdiArea() const { return m_mdiArea; }
    void setMessagePaneText(const QString& text);
    QString messagePaneText() const;
    bool flatToolbar() const { return m_flatToolbar; }

    /// Shows the frame maximised on its screen, also where no window manager
    /// would carry out the request.
    void showMaximizedOnScreen();

    /// Adds a command to the menu of that title (made when new): the action
    /// carries the command id as its data.
    QAction* addCommand(const QString& menu, int id, const QString& text, const QKeySequence& shortcut,
                        std::function<void()> handler);
    QAction* command(int id) const;
    /// Asked before the frame closes (the documents may be saved); the
    /// frame stays open when it answers false.
    void setCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

Q_SIGNALS:
    void filesDropped(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    SettingsStore& m_settings;
    QMdiArea* m_mdiArea = nullptr;
    QLabel* m_messagePane = nullptr;
    bool m_flatToolbar = false;
    std::function<bool()> m_closeGuard;
};
