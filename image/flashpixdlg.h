#pragma once

#include <QDialog>
#include <QList>
#include <QSize>

class QListWidget;

/// "FlashPix Load Options": the sizes stored in a FlashPix file; the one
/// chosen loads. Interface thread only.
class CFlashPixDlg : public QDialog {
    Q_OBJECT

public:
    CFlashPixDlg(const QList<QSize>& sizes, QWidget* parent = nullptr);
    /// The chosen entry, the largest (last) one unless the user picked another.
    int chosen() const;

private:
    QListWidget* m_list;
};

/// Which stored resolution a FlashPix load takes: the largest (the last
/// entry) when "fpxLoad" is on or the load is quiet, else the user's choice
/// through `ask`; -1 when there is none.
int chooseFlashPixResolution(const QList<QSize>& sizes, bool fpxLoad, bool quiet,
                             const std::function<int(const QList<QSize>&)>& ask);
