#pragma once

#include "image/filechooser.h"
#include "image/savetypestate.h"

#include <QFileDialog>
#include <QStringList>

class PromptService;
class QPushButton;

/// The program's Open and Save As dialogs: Qt's own file dialog widgets with
/// one more button. Open: several files, the open filters, "File Info" for
/// the one selected file. Save As: one file, the save types, "&Options" for
/// the chosen type's options dialog. Interface thread only.
class CFpicFileDialog : public QFileDialog {
    Q_OBJECT

public:
    CFpicFileDialog(PromptService& prompt, const image::OpenRequest& request,
                    QWidget* parent = nullptr);
    CFpicFileDialog(PromptService& prompt, const image::SaveRequest& request,
                    QWidget* parent = nullptr);

    bool isSaveDialog() const { return m_save; }
    QPushButton* extraButton() const { return m_button; }
    /// The 1-based index of the filter (Open) or save type (Save As) chosen.
    int typeIndex() const;
    const image::SaveTypeState& saveState() const { return m_state; }
    /// The files selected now (Open), directories left out.
    QStringList selectedFilePaths() const;

    /// What the dialog ended with; not accepted unless it was.
    image::OpenChoice openChoice() const;
    image::SaveChoice saveChoice() const;

    /// "File Info": the information of the selected file, or a message that
    /// there is none. Returns the dialog shown (window modal), or null.
    QDialog* showFileInfo();
    /// "&Options": the options dialog of the current format code, shown
    /// window modal; OK takes its choices. Null when the code has none.
    QDialog* showOptions();

private:
    CFpicFileDialog(PromptService& prompt, bool save, const imaging::ImageHandle* image,
                    qint64 sizeOnDisk, QWidget* parent);
    void addButton(const QString& text);
    void filterChosen(const QString& filter);
    void selectionChanged();

    PromptService& m_prompt;
    bool m_save;
    QStringList m_filters;
    int m_openIndex = 1;
    image::SaveTypeState m_state;
    const imaging::ImageHandle* m_image;
    qint64 m_sizeOnDisk;
    QPushButton* m_button = nullptr;
};
