#include "app/splashdlg.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

CSplashDlg::CSplashDlg(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_picture(new QSvgRenderer(QStringLiteral(":/pixoria/splash.svg"), this)) {
    setObjectName(QStringLiteral("CSplashDlg"));
    setFixedSize(kWidth, kHeight);
    QTimer::singleShot(kShowMilliseconds, this, &QDialog::accept);
}

void CSplashDlg::showEvent(QShowEvent* event) {
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    QDialog::showEvent(event);
}

void CSplashDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_picture->render(&painter, rect());
}
