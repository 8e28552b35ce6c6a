#pragma once

#include <QColor>
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

/// The size dialog: width and height, in the new-image form with the
/// background colour ("Enter New Image Information", "Set Background
/// Color >>"), or in the select-tool form with "&Save these settings".
/// Interface thread only.
class CSizeDlg : public QDialog {
    Q_OBJECT

public:
    enum class Form { NewImage, SelectSize };

    CSizeDlg(Form form, int width, int height, QColor background, QWidget* parent = nullptr);

    int imageWidth() const;
    int imageHeight() const;
    QColor background() const { return m_background; }
    bool saveSettings() const;
    QSpinBox* widthBox() const { return m_width; }
    QSpinBox* heightBox() const { return m_height; }

    /// Replaces the colour chooser (tests answer for the user).
    void setColourChooser(std::function<QColor(QColor)> chooser) { m_chooser = std::move(chooser); }
    void chooseBackground();

private:
    void showSwatch();

    QSpinBox* m_width;
    QSpinBox* m_height;
    QLabel* m_swatch;
    QCheckBox* m_save;
    QColor m_background;
    std::function<QColor(QColor)> m_chooser;
};
