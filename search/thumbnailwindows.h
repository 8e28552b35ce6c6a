#pragma once

#include "search/thumbnailwindow.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <array>
#include <functional>

class CFpicApp;

namespace search {

class Thumbnailer;

/// The kinds of thumbnail window, each with its place on the screen and
/// its part in the callback.
enum class ThumbnailWindowKind {
    Search,           // a thumbnail search's results; registered in the list
    AlbumCollection,  // an album's search results
    AlbumPhotos,      // an album's own photos
    SlideShowImages,  // "Slide Show Images"
    RuntimeImages,    // "Runtime Images"
};

/// Where a window of `kind` goes on a screen of `screen` size; `n` is the
/// number of search windows already registered.
QRect thumbnailWindowGeometry(ThumbnailWindowKind kind, QSize screen, int n);

/// The application's thumbnail windows: the list of up to 10 search windows
/// with their titles and image counts and the running image total, the
/// album, slide show and runtime windows beside them, the keys that change
/// what choosing a thumbnail does, and what is done with a chosen file.
/// Interface thread only.
class ThumbnailWindows : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxSearchWindows = 10;

    ThumbnailWindows(CFpicApp& app, Thumbnailer& thumbnailer, QObject* parent = nullptr);
    ~ThumbnailWindows() override;

    /// "Aborting: Only 10 thumbnail windows may be open at 1 time."
    static QString tooManyWindowsMessage();

    Thumbnailer& thumbnailer() { return m_thumbnailer; }

    /// Prunes, then shows tooManyWindowsMessage() and returns false when 10
    /// search windows are registered.
    bool checkRoom();
    /// Closes the first window whose title begins with `titleText` (a
    /// repeated search replaces its window), then makes a search window,
    /// placed for the search windows now registered, and registers it under
    /// `titleText`. Null, with the message shown, when 10 are registered.
    ThumbnailWindow* createSearchWindow(const QString& titleText);
    /// Hides and closes the first registered window whose title begins with
    /// `titleText`, freeing its slot and its images from the running total.
    void closeWindowTitled(const QString& titleText);
    /// A search added `count` images to `window`: its record and title
    /// ("title count") are set and the total grows.
    void recordImages(ThumbnailWindow* window, int count);
    /// Closes a window whose search found nothing, and prunes.
    void discard(ThumbnailWindow* window);

    /// Removes the records of windows the user has closed.
    void prune();
    void showAll(bool visible);

    /// A window of another kind, owned by the caller's tool and placed as
    /// its kind says; its choices go to the handler set for its kind.
    ThumbnailWindow* createToolWindow(ThumbnailWindowKind kind, const QString& title);
    /// What a choice in a window of `kind` does. Slide show and runtime
    /// images go to their tool only while it is working (the app's modes).
    void setHandler(ThumbnailWindowKind kind, std::function<void(const QString& path)> handler);

    /// The callback: what choosing `path` in `source` does.
    void dispatch(ThumbnailWindow* source, const QString& path);

    int windowCount() const { return m_count; }
    int runningTotal() const { return m_runningTotal; }
    QString titleAt(int slot) const { return m_titles[static_cast<size_t>(slot)]; }
    int imageCountAt(int slot) const { return m_imageCounts[static_cast<size_t>(slot)]; }
    ThumbnailWindow* windowAt(int slot) const { return m_windows[static_cast<size_t>(slot)]; }
    bool isSearchWindow(const QObject* window) const;
    ThumbnailWindow* lastSource() const { return m_lastSource; }
    bool deletePending() const { return m_deletePending; }
    bool pathPending() const { return m_pathPending; }

protected:
    /// The key filter: Delete and "P" in a registered search window choose
    /// the current thumbnail, to delete its file or show its path.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ThumbnailWindow* makeWindow(ThumbnailWindowKind kind, int n);
    int slotOf(const ThumbnailWindow* window) const;
    void freeSlot(int slot);
    void deleteFile(const QString& path);

    CFpicApp& m_app;
    Thumbnailer& m_thumbnailer;
    int m_count = 0;
    std::array<QString, kMaxSearchWindows> m_titles;
    std::array<QPointer<ThumbnailWindow>, kMaxSearchWindows> m_windows;
    std::array<int, kMaxSearchWindows> m_imageCounts{};
    int m_runningTotal = 0;
    bool m_deletePending = false;
    bool m_pathPending = false;
    QPointer<ThumbnailWindow> m_lastSource;
    struct ToolWindow {
        ThumbnailWindowKind kind;
        QPointer<ThumbnailWindow> window;
    };
    QList<ToolWindow> m_toolWindows;
    std::array<std::function<void(const QString&)>, 5> m_handlers;
};

}  // namespace search
