#pragma once

#include <QDialog>

class QSvgRenderer;

/// The splash screen: the program's picture, 552 by 338 pixels, centred,
/// closing itself after two seconds.
class CSplashDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 552;
    static constexpr int kHeight = 338;
    static constexpr int kShowMilliseconds = 2000;

    explicit CSplashDlg(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QSvgRenderer* m_picture;
};
