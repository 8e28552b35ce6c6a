#pragma once

#include <QMdiSubWindow>

/// The frame of one image document in the workspace.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    explicit CChildFrame(QWidget* parent = nullptr);

Q_SIGNALS:
    /// Asked to close; the document decides (it may offer to save first).
    void closeRequested(bool* allowed);

protected:
    void closeEvent(QCloseEvent* event) override;
};
