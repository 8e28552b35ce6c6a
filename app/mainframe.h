#pragma once

#include "app/commandrouter.h"

#include <QMainWindow>

#include <functional>

class QLabel;
class QMdiArea;
class QToolBar;
class SettingsStore;

/// The main window: a multi-document workspace, the main toolbar, and a
/// status bar whose panes are 0 the message, 1-5 the image read-outs, and
/// on screens at least 800 pixels wide 6 the date and 7 the time.
/// Interface thread only.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kReadoutPanes = 5;

    explicit CMainFrame(SettingsStore& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    /// The frame's creation steps; false when the frame could not be made.
    bool create();
    /// Builds the menus and the toolbar from the router's actions; the File
    /// menu lists the recent files `recentFiles` gives when it opens.
    void installCommands(CommandRouter& router, std::function<QStringList()> recentFiles = {});

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QToolBar* toolbar() const { return m_toolbar; }
    /// The frame's own command handlers (help, web site, bars, windows).
    CommandMap& commands() { return m_commands; }

    void setMessagePaneText(const QString& text);
    QString messagePaneText() const;
    /// Sets a pane's text and sizes the pane to it.
    void setPaneText(int pane, const QString& text);
    QString paneText(int pane) const;
    int paneCount() const;
    bool flatToolbar() const { return m_flatToolbar; }

    /// Shows the frame maximised on its screen, also where no window manager
    /// would carry out the request.
    void showMaximizedOnScreen();
    /// Covers the whole screen with the workspace, or goes back.
    void toggleFullScreen();
    bool isFullScreenMode() const { return m_fullScreen; }

    /// Asked before the frame closes (the documents may be saved); the
    /// frame stays open when it answers false.
    void setCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }
    /// Help requests: the topic's page, kHelpContentsTopic for the contents,
    /// kHelpIndexTopic for the finder's index.
    void setHelpHandler(std::function<void(int topic)> handler) { m_help = std::move(handler); }
    void showHelp(int topic);
    static constexpr int kHelpContentsTopic = 0;
    static constexpr int kHelpIndexTopic = -1;

    /// The date and time panes' texts for a moment.
    static QString dateText(const QDateTime& moment);
    static QString timeText(const QDateTime& moment);

Q_SIGNALS:
    void filesDropped(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createToolbar();
    void refreshClock();

    SettingsStore& m_settings;
    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_toolbar = nullptr;
    QList<QLabel*> m_panes;
    CommandMap m_commands;
    bool m_flatToolbar = false;
    bool m_fullScreen = false;
    QByteArray m_placement;
    std::function<bool()> m_closeGuard;
    std::function<void(int)> m_help;
};
