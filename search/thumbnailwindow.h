#pragma once

#include <QHash>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

class QListView;
class QTimer;

namespace search {

class Thumbnailer;
class ThumbnailModel;

/// A tool window of thumbnails: file paths are added one by one, their
/// thumbnails are made by the shared thumbnailer, the visible ones first,
/// and Enter or a double click chooses the current one. Interface thread
/// only.
class ThumbnailWindow : public QWidget {
    Q_OBJECT

public:
    /// The side of a thumbnail, in device-independent pixels.
    static constexpr int kThumbnailSize = 100;
    /// The width of a thumbnail with its name: two fit side by side.
    static constexpr int kCellWidth = 120;

    ThumbnailWindow(Thumbnailer& thumbnailer, QWidget* parent = nullptr);
    ~ThumbnailWindow() override;

    /// Appends a file; 0 when it was added.
    int addFile(const QString& path);
    void addFiles(const QStringList& paths);

    int imageCount() const;
    QString pathAt(int row) const;
    QString currentPath() const;
    void setCurrentRow(int row);
    /// Thumbnails made so far (failed ones count as made).
    int thumbnailsMade() const { return m_made; }
    QListView* listView() const { return m_view; }
    /// The window was closed (it is deleted soon after).
    bool isClosed() const { return m_closed; }

Q_SIGNALS:
    /// The user chose a thumbnail: Enter on the current one, or a double
    /// click.
    void chosen(const QString& path);
    void thumbnailMade(int made);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void scheduleRequests();
    void updateRequests();
    void takeThumbnail(const QString& path, const QImage& image, bool failed);
    int pixelSize() const;

    Thumbnailer& m_thumbnailer;
    ThumbnailModel* m_model = nullptr;
    QListView* m_view = nullptr;
    QTimer* m_requestTimer = nullptr;
    /// Rows asked for ahead of the rest, because they are (nearly) in view.
    int m_firstUrgent = 0;
    int m_lastUrgent = -1;
    int m_made = 0;
    bool m_closed = false;
};

}  // namespace search
