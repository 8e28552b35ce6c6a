#pragma once

#include "image/filechooser.h"

#include <QString>

namespace image {

/// The choices the save dialog and its options dialogs pass around.
struct SaveOptions {
    int format = 6;
    int bitsPerPixel = 24;
    int qualityFactor = 20;
    bool interlaced = false;
    bool progressive = false;

    bool operator==(const SaveOptions&) const = default;
};

/// The depth a save asks the imaging library for. The options dialogs of GIF
/// and TIFF offer every depth from 1 to 8, but the library keeps only 1, 4
/// and 8 bits as palette depths, so 2-3 are saved as 4 and 5-7 as 8.
int libraryDepth(int bitsPerPixel);

/// What the Save As dialog has decided so far: the save type chosen in the
/// filter list and the options set for it. Interface thread only.
class SaveTypeState {
public:
    /// `imageDepth` is the depth of the image being saved, for the depth
    /// rule of the save types.
    explicit SaveTypeState(int imageDepth = 24);

    /// Takes the extension, format code, depth and options flag of the
    /// 1-based save type; outside 1-31 means 1. The quality factor and the
    /// interlace and progressive flags stay as they were.
    void apply(int typeIndex);

    int typeIndex() const { return m_typeIndex; }
    QString extension() const { return m_extension; }
    bool optionsEnabled() const { return m_optionsEnabled; }
    const SaveOptions& options() const { return m_options; }
    /// What an options dialog chose.
    void setOptions(const SaveOptions& options) { m_options = options; }

    /// The path with the type's extension appended when it has none.
    QString pathWithExtension(const QString& path) const;
    /// The accepted choice for the chosen path.
    SaveChoice choice(const QString& path, const QString& folder) const;

private:
    int m_imageDepth;
    int m_typeIndex = 1;
    QString m_extension;
    bool m_optionsEnabled = true;
    SaveOptions m_options;
};

}  // namespace image
