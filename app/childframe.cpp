#include "app/childframe.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setObjectName(QStringLiteral("CChildFrame"));
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    bool allowed = true;
    Q_EMIT closeRequested(&allowed);
    if (allowed) {
        QMdiSubWindow::closeEvent(event);
    } else {
        event->ignore();
    }
}
