#include "image/wallpaperdlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CWallpaperDlg::CWallpaperDlg(bool tile, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Wallpaper"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Make this picture the desktop wallpaper."), this));
    m_tile = new QCheckBox(QStringLiteral("&Tile Wallpaper"), this);
    m_tile->setChecked(tile);
    layout->addWidget(m_tile);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool CWallpaperDlg::tile() const {
    return m_tile->isChecked();
}
