#include "app/prefsheet.h"

#include "app/prefpage1.h"
#include "app/prefpage2.h"
#include "app/prefpage3.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QTabWidget>
#include <QVBoxLayout>

CPrefSheet::CPrefSheet(HelpRequest help, QWidget* parent)
    : QDialog(parent),
      m_help(std::move(help)),
      m_tabs(new QTabWidget(this)),
      m_page1(new CPrefPage1(m_tabs)),
      m_page2(new CPrefPage2(m_tabs)),
      m_page3(new CPrefPage3(m_tabs)),
      m_buttons(new QDialogButtonBox(
          QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this)) {
    setObjectName(QStringLiteral("CPrefSheet"));
    setWindowTitle(QStringLiteral("Preferences"));
    m_tabs->addTab(m_page1, QStringLiteral("Main"));
    m_tabs->addTab(m_page2, QStringLiteral("PhotoCD "));
    m_tabs->addTab(m_page3, QStringLiteral("General"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_buttons, &QDialogButtonBox::helpRequested, this, &CPrefSheet::requestHelp);
}

void CPrefSheet::requestHelp() {
    if (m_help) {
        m_help(kHelpTopic);
    }
}

void CPrefSheet::keyPressEvent(QKeyEvent* event) {
    // F1 reaches the sheet from whichever control has the focus, as none of
    // them takes it.
    if (event->matches(QKeySequence::HelpContents)) {
        requestHelp();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
