#pragma once

#include <QDialog>

class QCheckBox;

/// Asks whether the wallpaper is tiled before the picture becomes the
/// desktop's wallpaper. Interface thread only.
class CWallpaperDlg : public QDialog {
    Q_OBJECT

public:
    explicit CWallpaperDlg(bool tile, QWidget* parent = nullptr);

    bool tile() const;
    QCheckBox* tileBox() const { return m_tile; }

private:
    QCheckBox* m_tile;
};
