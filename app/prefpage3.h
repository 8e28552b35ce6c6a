#pragma once

#include <QWidget>

class QCheckBox;

/// The "General" page of the preferences: fitting large pictures on load,
/// the FlashPix resolution and fitting prints to the page. The controls take
/// the values up each time the page is shown. Interface thread only.
class CPrefPage3 : public QWidget {
    Q_OBJECT

public:
    explicit CPrefPage3(QWidget* parent = nullptr);

    int fitFlag = 1;
    int fpxLoad = 0;
    int fitToPage = 1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QCheckBox* m_fit;
    QCheckBox* m_fpx;
    QCheckBox* m_fitToPage;
};
