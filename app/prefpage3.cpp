#include "app/prefpage3.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

CPrefPage3::CPrefPage3(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CPrefPage3"));
    auto* main = new QVBoxLayout(this);

    auto* settings = new QGroupBox(QStringLiteral("Settings"), this);
    auto* settingsColumn = new QVBoxLayout(settings);
    m_fit = new QCheckBox(QStringLiteral("Auto &Zoom To Fit Large Images on Load"), settings);
    m_fpx = new QCheckBox(QStringLiteral("&Always Load Largest FPX Resolution"), settings);
    settingsColumn->addWidget(m_fit);
    settingsColumn->addWidget(m_fpx);
    main->addWidget(settings);

    auto* printing = new QGroupBox(QStringLiteral("Printing"), this);
    auto* printingColumn = new QVBoxLayout(printing);
    m_fitToPage = new QCheckBox(QStringLiteral("&Fit Image to Printer Page"), printing);
    printingColumn->addWidget(m_fitToPage);
    main->addWidget(printing);
    main->addStretch();

    connect(m_fit, &QCheckBox::toggled, this, [this](bool on) { fitFlag = on ? 1 : 0; });
    connect(m_fpx, &QCheckBox::toggled, this, [this](bool on) { fpxLoad = on ? 1 : 0; });
    connect(m_fitToPage, &QCheckBox::toggled, this, [this](bool on) { fitToPage = on ? 1 : 0; });
}

void CPrefPage3::showEvent(QShowEvent* event) {
    m_fit->setChecked(fitFlag != 0);
    m_fpx->setChecked(fpxLoad != 0);
    m_fitToPage->setChecked(fitToPage != 0);
    QWidget::showEvent(event);
}
