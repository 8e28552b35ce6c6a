#pragma once

#include <QWidget>

class QButtonGroup;

/// The "PhotoCD " page of the preferences: the resolution PhotoCD pictures
/// load at, 1 (128 x 192) to 5 (2048 x 3072). The control takes the value
/// up each time the page is shown. Interface thread only.
class CPrefPage2 : public QWidget {
    Q_OBJECT

public:
    explicit CPrefPage2(QWidget* parent = nullptr);

    int pcdResolution = 3;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QButtonGroup* m_resolution;
};
