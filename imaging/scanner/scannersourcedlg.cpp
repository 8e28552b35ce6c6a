#include "imaging/scanner/scannersourcedlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace imaging {

ScannerSourceDlg::ScannerSourceDlg(const QStringList& sources, int current, QWidget* parent)
    : QDialog(parent),
      m_list(new QListWidget(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("ScannerSourceDlg"));
    setWindowTitle(QStringLiteral("Select Source"));

    auto* label = new QLabel(QStringLiteral("&Sources:"), this);
    label->setBuddy(m_list);
    m_list->addItems(sources);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    if (current >= 0 && current < m_list->count()) {
        m_list->setCurrentRow(current);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(m_buttons);

    QPushButton* ok = m_buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(selectedIndex() >= 0);
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this, ok] { ok->setEnabled(selectedIndex() >= 0); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int ScannerSourceDlg::selectedIndex() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.first());
}

}  // namespace imaging
