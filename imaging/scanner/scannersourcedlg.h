#pragma once

#include <QDialog>
#include <QStringList>

class QDialogButtonBox;
class QListWidget;

namespace imaging {

/// The Select Source dialog: the scanners found, one to pick with OK.
/// Interface thread only.
class ScannerSourceDlg : public QDialog {
    Q_OBJECT

public:
    /// `sources` are the names shown; `current` is selected at first.
    ScannerSourceDlg(const QStringList& sources, int current, QWidget* parent = nullptr);

    /// The row chosen, or -1 when none is.
    int selectedIndex() const;

private:
    QListWidget* m_list;
    QDialogButtonBox* m_buttons;
};

}  // namespace imaging
