#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class PromptService;

/// The program's format vocabulary: the names of the format codes, the open
/// dialog's filter list, the save types with their extensions, codes and
/// depths, and the messages of the imaging result codes.
namespace image {

/// The display name of a format code; `secondLibrary` names it by the
/// second library's own code for the file at `path` instead.
QString formatName(int format, bool secondLibrary = false, const QString& path = {});
/// The second library's name for one of its codes.
QString secondFormatName(int secondFormat);

struct OpenFilter {
    QString label;
    QString pattern;  // "*.jpg;*.jff"
};
/// The 41 entries of the open dialog, in order (index 1 is "All Files").
const QList<OpenFilter>& openFilters();

struct SaveType {
    QString label;
    QString pattern;
    QString extension;
    int format;
    int fixedDepth;        // nonzero: always this depth
    QList<int> ownDepths;  // otherwise the image's own depth when listed here
    int fallbackDepth;     // ... else this one
    bool options;          // whether the dialog's "&Options" button is enabled
};
/// The 31 save types, in order.
const QList<SaveType>& saveTypes();
/// The save type of a 1-based index; an index outside 1-31 gives entry 1.
const SaveType& saveType(int index);
/// The bits per pixel a save type writes for an image of `imageDepth`.
int saveDepth(const SaveType& type, int imageDepth);

/// "label\0pattern\0" for every entry, as file dialogs of the Windows
/// program expect them.
QString openFilterString();
QString saveFilterString();
/// "label (patterns)" entries for Qt's file dialogs, the patterns separated
/// by spaces; dialogs hide that last part (QFileDialog::HideNameFilterDetails)
/// so the labels show as written.
QStringList openNameFilters();
QStringList saveNameFilters();

/// The extension a file of this format code is given when it is converted
/// ("tif", "jpg", ...), or empty for codes without one of their own.
QString defaultExtension(int format);

/// The message for an imaging result code; empty for 1 (success).
QString errorMessage(int code);
/// Shows the message of a result code (nothing for 1) and returns the code.
int reportImagingResult(PromptService& prompt, int code);

}  // namespace image
