#pragma once

#include "image/compressionpreview.h"
#include "image/savetypestate.h"

#include <QDialog>
#include <QImage>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

/// The options of the compressed formats (JPEG, JTIF, LEAD, EXIF JPEG): the
/// quality factor on a slider, the depth and progressive saving, with the
/// picture beside itself as the chosen settings leave it and, on request,
/// the size the file will take. "&Finished" closes it with the choices.
/// Interface thread only.
class CCompressionDlg : public QDialog {
    Q_OBJECT

public:
    struct Setup {
        const imaging::ImageHandle* image = nullptr;  // null: the sample picture
        qint64 sizeOnDisk = 0;                        // of the document's file
        image::SaveOptions options;                   // where the choices start
        int screenWidth = 0;                          // 0: the primary screen's
    };

    static constexpr int kMinimumQuality = 2;
    static constexpr int kMaximumQuality = 255;
    /// Screens at least this wide get the wide layout.
    static constexpr int kWideScreen = 900;
    /// Screens at most this wide get the dialog in their top-left corner.
    static constexpr int kSmallScreen = 640;

    /// Whether the format code's options are this dialog's.
    static bool handles(int format);

    explicit CCompressionDlg(const Setup& setup, QWidget* parent = nullptr);

    /// The choices as they stand: the quality factor, and the depth and
    /// progressive flag where the format offers them.
    image::SaveOptions choice() const;

    bool isWide() const { return m_wide; }
    QSlider* slider() const { return m_slider; }
    QLineEdit* valueField() const { return m_value; }
    QRadioButton* eightBit() const { return m_eightBit; }
    QRadioButton* twentyFourBit() const { return m_twentyFourBit; }
    QCheckBox* progressive() const { return m_progressive; }
    QCheckBox* calculate() const { return m_calculate; }
    QGroupBox* optionsFrame() const { return m_optionsFrame; }
    QPushButton* finished() const { return m_finished; }
    /// The four size lines: new size, original size, size in memory, percentage.
    QStringList sizeTexts() const;
    bool sizesShown() const;
    QImage leftPicture() const;
    QImage rightPicture() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void layOutWide();
    void layOutCompact();
    QWidget* pictureBand(int width);
    void valueEdited(const QString& text);
    void valueFinished();
    void qualityChanged(int value);
    void settingsChanged();
    void updatePicture();
    void updateSizes();
    void showSizes(bool shown);

    image::SaveOptions m_options;
    const imaging::ImageHandle* m_image;
    qint64 m_sizeOnDisk;
    bool m_wide;
    int m_screenWidth;
    image::CompressionPreview m_preview;

    QSlider* m_slider;
    QLineEdit* m_value;
    QRadioButton* m_eightBit;
    QRadioButton* m_twentyFourBit;
    QCheckBox* m_progressive;
    QCheckBox* m_calculate;
    QGroupBox* m_optionsFrame;
    QGroupBox* m_compressionFrame;
    QPushButton* m_finished;
    QLabel* m_leftPicture;
    QLabel* m_rightPicture;
    QWidget* m_band = nullptr;
    QList<QLabel*> m_sizeLines;
};
