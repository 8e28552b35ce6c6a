#include "app/prefpage1.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

namespace {

/// A framed pair of radio buttons whose group ids are the values they give.
QButtonGroup* addChoice(QBoxLayout* layout, const QString& title, const QString& first,
                        int firstValue, const QString& second, int secondValue) {
    auto* frame = new QGroupBox(title);
    auto* column = new QVBoxLayout(frame);
    auto* group = new QButtonGroup(frame);
    for (const auto& [text, value] : {std::pair{first, firstValue}, {second, secondValue}}) {
        auto* button = new QRadioButton(text, frame);
        group->addButton(button, value);
        column->addWidget(button);
    }
    column->addStretch();
    layout->addWidget(frame);
    return group;
}

void checkValue(QButtonGroup* group, int value) {
    if (QAbstractButton* button = group->button(value)) {
        button->setChecked(true);
    }
}

}  // namespace

CPrefPage1::CPrefPage1(QWidget* parent)
    : QWidget(parent),
      m_splash(new QCheckBox(QStringLiteral("&Show splash screen on startup."), this)),
      m_thumb(new QCheckBox(QStringLiteral("Show &thumbnail window on startup."), this)) {
    setObjectName(QStringLiteral("CPrefPage1"));
    auto* main = new QVBoxLayout(this);
    auto* frames = new QHBoxLayout;
    main->addLayout(frames);
    m_palette = addChoice(frames, QStringLiteral("Palette"), QStringLiteral("&Auto"), 1,
                          QStringLiteral("&Fixed"), 0);
    m_dithering = addChoice(frames, QStringLiteral("Dithering"), QStringLiteral("&Ordered"), 1,
                            QStringLiteral("Error &Diffusion"), 0);
    main->addWidget(m_splash);
    main->addWidget(m_thumb);
    main->addStretch();

    // Only clicks change the values; checking a button on show does not.
    connect(m_palette, &QButtonGroup::idClicked, this, [this](int id) { autoPalette = id; });
    connect(m_dithering, &QButtonGroup::idClicked, this, [this](int id) { orderedDither = id; });
    connect(m_splash, &QCheckBox::toggled, this, [this](bool on) { splash = on ? 1 : 0; });
    connect(m_thumb, &QCheckBox::toggled, this, [this](bool on) { thumb = on ? 1 : 0; });
}

void CPrefPage1::showEvent(QShowEvent* event) {
    checkValue(m_palette, autoPalette);
    checkValue(m_dithering, orderedDither);
    m_splash->setChecked(splash != 0);
    m_thumb->setChecked(thumb != 0);
    QWidget::showEvent(event);
}
