#include "image/flashpixdlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CFlashPixDlg::CFlashPixDlg(const QList<QSize>& sizes, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)) {
    setObjectName(QStringLiteral("CFlashPixDlg"));
    setWindowTitle(QStringLiteral("FlashPix Load Options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Available Image Sizes"), this));
    for (const QSize& size : sizes) {
        m_list->addItem(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
    }
    m_list->setCurrentRow(static_cast<int>(sizes.size()) - 1);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
}

int CFlashPixDlg::chosen() const { return m_list->currentRow(); }

int chooseFlashPixResolution(const QList<QSize>& sizes, bool fpxLoad, bool quiet,
                             const std::function<int(const QList<QSize>&)>& ask) {
    if (sizes.isEmpty()) {
        return -1;
    }
    const int largest = static_cast<int>(sizes.size()) - 1;
    if (fpxLoad || quiet || !ask) {
        return largest;
    }
    const int choice = ask(sizes);
    return choice >= 0 && choice <= largest ? choice : largest;
}
