#pragma once

#include "search/thumbnailwindow.h"

#include "search/folderwalk.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class CFpicApp;

namespace search {

class ThumbnailWindows;

/// What the folder-and-mask chooser is opened with, and what it gives back.
struct FolderRequest {
    QString title;
    QString folder;
    QString mask;
    bool includeSubFolders = false;
    bool okCaption = false;  // the OK button reads "OK" rather than "Find"
};
struct FolderChoice {
    QString folder;
    QString mask;
    bool includeSubFolders = false;
};
/// Nothing when the user cancelled.
using FolderChooser = std::function<std::optional<FolderChoice>(const FolderRequest&)>;

/// The image searches: the thumbnail search (from the Find command, at
/// start-up and from the wizard) into a new thumbnail window, and the
/// album creator's source search into its collection window. The walk runs
/// on a worker thread and streams what it finds into the window in listing
/// order, while the interface keeps painting; Esc cancels it and other
/// input waits. The searches return when the walk is done. Interface
/// thread only.
class ThumbnailSearch {
public:
    ThumbnailSearch(CFpicApp& app, ThumbnailWindows& windows);

    /// The chooser; by default CSearchDirDialog in its folder search.
    void setFolderChooser(FolderChooser chooser) { m_chooser = std::move(chooser); }

    /// The thumbnail search. `automatic`: the start-up or wizard search,
    /// without the dialog, on the held folder, mask and sub-folder choice
    /// (or the reset ones after an automatic search that found nothing).
    void run(bool automatic);

    /// The album creator's source search; false when the user cancelled
    /// the dialog. `fromWizard` searches the held values without it.
    bool albumSourceSearch(bool fromWizard);
    /// The album collection window and its title, once a source search made
    /// them.
    ThumbnailWindow* albumCollectionWindow() const { return m_collection; }
    QString albumCollectionTitle() const { return m_collectionTitle; }

    /// The folder, a "/" unless it ends in one, the mask, and " +" with
    /// sub-folders.
    static QString titleText(const QString& folder, const QString& mask, bool includeSubFolders);
    static QString nothingFoundMessage();       // thumbnail search
    static QString nothingFoundAlbumMessage();  // album source search

    /// Walks `folder` into `window`; the images added.
    int walkInto(ThumbnailWindow* window, const QString& folder, const QString& mask,
                 bool includeSubFolders);
    SearchState& state() { return m_state; }

private:
    std::optional<FolderChoice> choose(const FolderRequest& request);
    void setStatusText(const QString& text);

    CFpicApp& m_app;
    ThumbnailWindows& m_windows;
    FolderChooser m_chooser;
    SearchState m_state;
    QPointer<ThumbnailWindow> m_collection;
    QString m_collectionTitle;
};

}  // namespace search
