#include "search/thumbnailwindow.h"

#include "search/thumbnailer.h"

#include <QAbstractListModel>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace search {

namespace {

// Thumbnails in view, and a screenful ahead, are asked for above all
// others, earlier rows first; the rest follow in row order.
constexpr int kUrgentBase = 1 << 30;

int backgroundPriority(int row) {
    return -row;
}

int urgentPriority(int row) {
    return kUrgentBase - row;
}

}  // namespace

/// The window's files and the thumbnails made of them.
class ThumbnailModel : public QAbstractListModel {
public:
    enum class State { Waiting, Made, Failed };
    struct Item {
        QString path;
        QString name;
        QPixmap pixmap;
        State state = State::Waiting;
    };

    explicit ThumbnailModel(QObject* parent) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_items.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        const Item& item = m_items[static_cast<size_t>(index.row())];
        switch (role) {
            case Qt::DisplayRole:
                return item.name;
            case Qt::ToolTipRole:
                return item.path;
            case Qt::DecorationRole:
                return item.state == State::Made     ? item.pixmap
                       : item.state == State::Failed ? m_failed
                                                     : m_waiting;
            default:
                return {};
        }
    }

    void append(const QStringList& paths) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(paths.size()) - 1);
        for (const QString& path : paths) {
            m_rows[path].append(static_cast<int>(m_items.size()));
            m_items.push_back({path, QFileInfo(path).fileName(), {}, State::Waiting});
        }
        endInsertRows();
    }

    const Item& item(int row) const { return m_items[static_cast<size_t>(row)]; }

    /// Stores a thumbnail for every row of `path`; how many rows took it.
    int take(const QString& path, const QPixmap& pixmap, bool failed) {
        const auto rows = m_rows.constFind(path);
        if (rows == m_rows.cend()) {
            return 0;
        }
        int taken = 0;
        for (int row : *rows) {
            Item& item = m_items[static_cast<size_t>(row)];
            if (item.state != State::Waiting) {
                continue;
            }
            item.state = failed ? State::Failed : State::Made;
            item.pixmap = pixmap;
            ++taken;
            const QModelIndex at = index(row);
            Q_EMIT dataChanged(at, at, {Qt::DecorationRole});
        }
        return taken;
    }

    void setPlaceholders(QPixmap waiting, QPixmap failed) {
        m_waiting = std::move(waiting);
        m_failed = std::move(failed);
    }

private:
    std::vector<Item> m_items;
    QHash<QString, QList<int>> m_rows;
    QPixmap m_waiting;
    QPixmap m_failed;
};

namespace {

QPixmap placeholder(int size, qreal ratio, bool failed) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(size * 0.2, size * 0.2, size * 0.6, size * 0.6);
    painter.setPen(QPen(QColor(160, 160, 160), 1.0));
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRect(frame);
    if (failed) {
        painter.setPen(QPen(QColor(190, 60, 50), 2.0));
        painter.drawLine(frame.topLeft(), frame.bottomRight());
        painter.drawLine(frame.topRight(), frame.bottomLeft());
    }
    return pixmap;
}

}  // namespace

ThumbnailWindow::ThumbnailWindow(Thumbnailer& thumbnailer, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      m_thumbnailer(thumbnailer),
      m_model(new ThumbnailModel(this)),
      m_view(new QListView(this)),
      m_requestTimer(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_view->setViewMode(QListView::IconMode);
    m_view->setMovement(QListView::Static);
    m_view->setResizeMode(QListView::Adjust);
    m_view->setFlow(QListView::LeftToRight);
    m_view->setWrapping(true);
    m_view->setUniformItemSizes(true);
    m_view->setLayoutMode(QListView::Batched);
    m_view->setBatchSize(200);
    m_view->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    m_view->setGridSize(QSize(kCellWidth, kThumbnailSize + 2 * fontMetrics().height()));
    m_view->setTextElideMode(Qt::ElideMiddle);
    m_view->setWordWrap(false);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setModel(m_model);
    m_view->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    const qreal ratio = devicePixelRatioF();
    m_model->setPlaceholders(placeholder(kThumbnailSize, ratio, false),
                             placeholder(kThumbnailSize, ratio, true));

    m_requestTimer->setSingleShot(true);
    m_requestTimer->setInterval(0);
    connect(m_requestTimer, &QTimer::timeout, this, &ThumbnailWindow::updateRequests);
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ThumbnailWindow::scheduleRequests);
    connect(m_view, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT chosen(pathAt(index.row())); });
    connect(
        &m_thumbnailer, &Thumbnailer::thumbnailReady, this,
        [this](const QString& path, const QImage& image) { takeThumbnail(path, image, false); });
    connect(&m_thumbnailer, &Thumbnailer::thumbnailFailed, this,
            [this](const QString& path) { takeThumbnail(path, {}, true); });
}

ThumbnailWindow::~ThumbnailWindow() = default;

int ThumbnailWindow::addFile(const QString& path) {
    addFiles({path});
    return 0;
}

void ThumbnailWindow::addFiles(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    const int first = m_model->rowCount();
    m_model->append(paths);
    const int size = pixelSize();
    for (int i = 0; i < paths.size(); ++i) {
        m_thumbnailer.request(paths[i], size, backgroundPriority(first + i));
    }
    if (first == 0) {
        m_view->setCurrentIndex(m_model->index(0));
    }
    scheduleRequests();
}

int ThumbnailWindow::imageCount() const {
    return m_model->rowCount();
}

QString ThumbnailWindow::pathAt(int row) const {
    return row >= 0 && row < m_model->rowCount() ? m_model->item(row).path : QString();
}

QString ThumbnailWindow::currentPath() const {
    return pathAt(m_view->currentIndex().row());
}

void ThumbnailWindow::setCurrentRow(int row) {
    m_view->setCurrentIndex(m_model->index(row));
}

bool ThumbnailWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QString path = currentPath();
            if (!path.isEmpty()) {
                Q_EMIT chosen(path);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ThumbnailWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scheduleRequests();
}

void ThumbnailWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scheduleRequests();
}

void ThumbnailWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    m_closed = event->isAccepted();
    if (!m_closed) {
        return;
    }
    // Thumbnails nobody will see are not made. This happens at once, not
    // when the window is deleted later, so a window that replaces this one
    // can ask for the same files again straight away.
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->item(row).state == ThumbnailModel::State::Waiting) {
            m_thumbnailer.cancel(m_model->item(row).path);
        }
    }
}

void ThumbnailWindow::scheduleRequests() {
    if (!m_requestTimer->isActive()) {
        m_requestTimer->start();
    }
}

void ThumbnailWindow::updateRequests() {
    const int rows = m_model->rowCount();
    int first = 0;
    int last = -1;
    if (isVisible() && rows > 0) {
        const QRect area = m_view->viewport()->rect();
        const QSize cell = m_view->gridSize();
        const QModelIndex top = m_view->indexAt(QPoint(cell.width() / 2, cell.height() / 2));
        first = top.isValid() ? top.row() : 0;
        const int columns = std::max(1, area.width() / std::max(1, cell.width()));
        const int visibleRows = area.height() / std::max(1, cell.height()) + 1;
        // What is in view and one screenful below it.
        last = std::min(rows - 1, first + 2 * columns * visibleRows - 1);
    }
    const int size = pixelSize();
    for (int row = m_firstUrgent; row <= m_lastUrgent && row < rows; ++row) {
        if ((row < first || row > last) &&
            m_model->item(row).state == ThumbnailModel::State::Waiting) {
            m_thumbnailer.request(m_model->item(row).path, size, backgroundPriority(row));
        }
    }
    for (int row = first; row <= last; ++row) {
        if (m_model->item(row).state == ThumbnailModel::State::Waiting) {
            m_thumbnailer.request(m_model->item(row).path, size, urgentPriority(row));
        }
    }
    m_firstUrgent = first;
    m_lastUrgent = last;
}

void ThumbnailWindow::takeThumbnail(const QString& path, const QImage& image, bool failed) {
    QPixmap pixmap;
    if (!failed) {
        pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(devicePixelRatioF());
    }
    const int taken = m_model->take(path, pixmap, failed);
    if (taken > 0) {
        m_made += taken;
        Q_EMIT thumbnailMade(m_made);
    }
}

int ThumbnailWindow::pixelSize() const {
    return static_cast<int>(std::ceil(kThumbnailSize * devicePixelRatioF()));
}

}  // namespace search
