#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;

/// The "Main" page of the preferences: palette, dithering and what shows on
/// start-up. Keeps its values as plain ints; the controls take them up each
/// time the page is shown. Interface thread only.
class CPrefPage1 : public QWidget {
    Q_OBJECT

public:
    explicit CPrefPage1(QWidget* parent = nullptr);

    int autoPalette = 1;    // 1 automatic palette, 0 fixed
    int orderedDither = 0;  // 1 ordered, 0 error diffusion
    int splash = 1;
    int thumb = 1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QButtonGroup* m_palette;
    QButtonGroup* m_dithering;
    QCheckBox* m_splash;
    QCheckBox* m_thumb;
};
