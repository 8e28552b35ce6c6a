#pragma once

#include "image/texttoolsettings.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

/// The text tool's "Font" dialog: font, style, size and colour of the text,
/// centring, drop shadow and outline with their colours, the text itself,
/// and a preview drawn as the picture will get it. Starts from a
/// TextToolSettings and gives one back. Interface thread only.
class CTextDlg : public QDialog {
    Q_OBJECT

public:
    /// Asks for a colour, starting from `current`; nothing when cancelled.
    /// Tests replace the colour dialog with their own answer.
    using ColourChooser =
        std::function<std::optional<QRgb>(QRgb current, const QString& title, QWidget* parent)>;

    explicit CTextDlg(const image::TextToolSettings& settings, QWidget* parent = nullptr);

    void setColourChooser(ColourChooser chooser) { m_chooseColour = std::move(chooser); }

    /// The choices as the dialog shows them. Choices left alone keep the
    /// starting record's own values, so OK without changes changes nothing.
    image::TextToolSettings settings() const;

    QFontComboBox* familyBox() const { return m_family; }
    QComboBox* styleBox() const { return m_style; }
    QComboBox* sizeBox() const { return m_size; }
    QPushButton* textColourButton() const { return m_textColourButton; }
    QCheckBox* centerBox() const { return m_center; }
    QCheckBox* dropShadowBox() const { return m_dropShadow; }
    QCheckBox* outlineBox() const { return m_outline; }
    QPushButton* shadowColourButton() const { return m_shadowButton; }
    QPushButton* highlightColourButton() const { return m_highlightButton; }
    QPlainTextEdit* textEdit() const { return m_text; }
    /// What the preview area shows.
    QImage previewImage() const { return m_previewImage; }

    static constexpr int kPreviewShadowOffset = 2;

private:
    enum Style { kRegular, kItalic, kBold, kBoldItalic };

    QFont chosenFont() const;
    LogFont chosenRecord() const;
    int chosenPoints() const;
    void pickColour(QRgb* colour, const QString& title);
    void updateSwatches();
    void updatePreview();

    image::TextToolSettings m_start;
    QRgb m_textColour;
    QRgb m_shadowColour;
    QRgb m_highlightColour;
    QString m_startFamily;
    int m_startStyle = kRegular;
    int m_startPoints = 0;
    ColourChooser m_chooseColour;

    QFontComboBox* m_family = nullptr;
    QComboBox* m_style = nullptr;
    QComboBox* m_size = nullptr;
    QPushButton* m_textColourButton = nullptr;
    QCheckBox* m_center = nullptr;
    QCheckBox* m_dropShadow = nullptr;
    QCheckBox* m_outline = nullptr;
    QLabel* m_shadowSwatch = nullptr;
    QLabel* m_highlightSwatch = nullptr;
    QPushButton* m_shadowButton = nullptr;
    QPushButton* m_highlightButton = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_preview = nullptr;
    QImage m_previewImage;
};
