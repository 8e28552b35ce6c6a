#pragma once

#include "image/savetypestate.h"

#include <QDialog>
#include <QList>
#include <QString>

class QAbstractButton;
class QCheckBox;
class QRadioButton;
class QSlider;

namespace image {

/// A radio button that gives a format code.
struct CodeChoice {
    QString label;
    int format;
};

/// One row of the options table: what the options dialog of some format
/// codes offers.
struct ImageOptionsLayout {
    enum class Check { None, Interlace, Code };

    QList<int> formats;  // the codes whose "&Options" open this dialog
    QString caption;
    QList<int> depths;  // bits-per-pixel radio buttons; empty: none
    QString codeTitle;  // the frame around the code choices
    QList<CodeChoice> codes;
    Check check = Check::None;
    QString checkLabel;
    int checkedFormat = 0;  // Check::Code: the code when checked, else the other
    int uncheckedFormat = 0;
    bool quality = false;  // a quality-factor slider
};

/// Every options dialog but the compression dialog's, in one table.
const QList<ImageOptionsLayout>& imageOptionsLayouts();
/// The row that serves a format code, or null (the compression dialog's
/// codes and codes without options).
const ImageOptionsLayout* imageOptionsLayout(int format);
/// The label of a depth's radio button: the ampersand before the first
/// digit that none of `taken` (earlier labels' mnemonics) uses.
QString depthLabel(int depth, QString* taken);

}  // namespace image

/// The options dialog of a save type, built from a row of the options table.
/// It starts from the given choices; choice() is what it shows. Interface
/// thread only.
class CImageOptionsDlg : public QDialog {
    Q_OBJECT

public:
    CImageOptionsDlg(const image::ImageOptionsLayout& layout, const image::SaveOptions& current,
                     QWidget* parent = nullptr);

    image::SaveOptions choice() const;

    /// The depth radio buttons in the table's order, then the code radio
    /// buttons; null check box or slider when the row has none.
    const QList<QRadioButton*>& depthButtons() const { return m_depthButtons; }
    const QList<QRadioButton*>& codeButtons() const { return m_codeButtons; }
    QCheckBox* checkBox() const { return m_check; }
    QSlider* qualitySlider() const { return m_quality; }
    /// The button with this text (mnemonics included), or null.
    QAbstractButton* button(const QString& text) const;

private:
    image::ImageOptionsLayout m_layout;
    image::SaveOptions m_current;
    QList<QRadioButton*> m_depthButtons;
    QList<QRadioButton*> m_codeButtons;
    QCheckBox* m_check = nullptr;
    QSlider* m_quality = nullptr;
};
