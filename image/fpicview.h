#pragma once

#include <QAbstractScrollArea>

class CFpicDoc;

/// Shows a document's picture in a scrolling window.
/// Interface thread only.
class CFpicView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CFpicView(CFpicDoc& document, QWidget* parent = nullptr);

    CFpicDoc& document() const { return m_document; }
    /// The size that shows the whole picture.
    QSize sizeHint() const override;

Q_SIGNALS:
    /// Painted for the first time since the picture changed.
    void pictureShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateScrollBars();

    CFpicDoc& m_document;
    bool m_shownSinceChange = false;
};
