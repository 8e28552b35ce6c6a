#pragma once

#include "imaging/imagehandle.h"

#include <QString>
#include <QStringList>

class PromptService;
class QWidget;

namespace image {

/// What File Open asks the user for.
struct OpenRequest {
    QString title;          // "Open"
    QString folder;         // where the dialog starts
    int filterIndex = 1;    // 1-based index into openFilters()
};

struct OpenChoice {
    bool accepted = false;
    QStringList paths;      // in the order selected
    int filterIndex = 1;
    QString folder;         // the folder the dialog ended in
};

/// What Save As asks for.
struct SaveRequest {
    QString title;              // "Save As"
    QString folder;             // "lastSaveDir"
    QString proposedName;       // the document title without its last dot and what follows
    int typeIndex = 1;          // 1-based index into saveTypes(); outside 1-31 means 1
    QString defaultExtension;   // "bmp"
    const imaging::ImageHandle* image = nullptr;  // for the depth rule and previews
    qint64 sizeOnDisk = 0;      // of the document's file; 0 without one
};

/// What the save dialog and its options dialogs decided.
struct SaveChoice {
    bool accepted = false;
    QString path;               // with the type's extension appended when it had none
    int typeIndex = 1;
    QString folder;
    int format = 6;
    int bitsPerPixel = 24;
    int qualityFactor = 20;
    bool interlaced = false;
    bool progressive = false;
};

/// Runs the program's open and save dialogs. The real one shows them; tests
/// answer from a script.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual OpenChoice chooseToOpen(const OpenRequest& request) = 0;
    virtual SaveChoice chooseToSave(const SaveRequest& request) = 0;
};

/// The real dialogs (CFpicFileDialog with its options dialogs).
class DialogFileChooser : public FileChooser {
public:
    DialogFileChooser(PromptService& prompt, QWidget* parent = nullptr)
        : m_prompt(prompt), m_parent(parent) {}
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    OpenChoice chooseToOpen(const OpenRequest& request) override;
    SaveChoice chooseToSave(const SaveRequest& request) override;

private:
    PromptService& m_prompt;
    QWidget* m_parent;
};

}  // namespace image
