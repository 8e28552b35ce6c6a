#pragma once

#include "app/commandrouter.h"
#include "imaging/fileinfo.h"
#include "imaging/imagehandle.h"

#include <QObject>
#include <QString>

#include <functional>

class CFpicApp;
class CFpicDoc;
class CSizeDlg;
class QDialog;
class QPainter;

namespace image {
class FileChooser;
}

/// The tool modes all image views share: at most one of zoom, text and
/// object is on, and text and object run with select on.
struct ToolModes {
    bool select = false;
    bool zoom = false;
    bool text = false;
    bool object = false;

    bool any() const { return select || zoom || text || object; }
};

/// What documents and their views need from the rest of the program. The
/// defaults of the function members show the real dialogs and use the real
/// desktop; tests replace them.
struct DocumentServices {
    DocumentServices(CFpicApp& application, image::FileChooser& fileChooser)
        : app(application), chooser(fileChooser) {}

    CFpicApp& app;
    image::FileChooser& chooser;
    /// Runs the size dialog of a new image; true on OK.
    std::function<bool(CSizeDlg&)> runSizeDialog;
    /// Asks which stored FlashPix resolution to load (index into the list).
    std::function<int(const QList<QSize>&)> askFlashPixResolution;
    /// The set-password command.
    std::function<void()> setPassword;
    /// Hides or shows the main window around a screen capture.
    std::function<void(bool visible)> showMainWindow;
    /// Waits (while the interface keeps running) before a screen capture.
    std::function<void(int milliseconds)> wait;

    /// Runs a view's modal dialog; true on OK.
    std::function<bool(QDialog&)> runDialog;
    /// Makes a picture file the desktop wallpaper; false with a message
    /// when that failed.
    std::function<bool(const QString& path, bool tiled, QString* message)> setWallpaper;
    /// Paints a picture the way the running slide show's transition shows
    /// it; false when no transition runs (the picture is then painted
    /// plainly).
    std::function<bool(QPainter&, const imaging::ImageHandle&, const QRect& target)>
        paintTransition;
    /// Closes a document without asking (set by the document manager).
    std::function<void(CFpicDoc*)> closeDocument;
    /// Sends commands on (the views' pop-up menu); none without it.
    CommandRouter* router = nullptr;
    ToolModes toolModes;
};

/// What a new document of kind Copy or Empty is made from.
struct NewDocumentArguments {
    const imaging::ImageHandle* source = nullptr;  // Copy
    int width = 0, height = 0, bitsPerPixel = 24;  // Empty
};

/// One image and its file: opening every supported format (enciphered ones
/// too), the new images of every kind, saving under its own or a new name
/// and format, the converted copies of convert mode, and the application's
/// open-files list. Interface thread only.
class CFpicDoc : public QObject {
    Q_OBJECT

public:
    enum class Kind { Size = 0, Capture = 1, Paste = 2, Copy = 3, Acquire = 4, Empty = 5 };

    explicit CFpicDoc(DocumentServices& services, QObject* parent = nullptr);
    ~CFpicDoc() override;

    /// The new-document step; false when no document results.
    bool onNewDocument(Kind kind, const NewDocumentArguments& arguments = {});
    /// Opens the file; false only when it cannot be read at all. A failed
    /// load still gives a document, with a placeholder picture and
    /// loadFailed() set.
    bool onOpenDocument(const QString& path);
    /// File Save: true when saved (or nothing needed saving).
    bool save();
    bool saveAs();
    /// The save step of convert mode: writes a converted copy.
    bool saveInConvertMode();
    /// Offers to save a modified document; false when the user cancelled.
    bool saveModified();
    /// The bookkeeping of closing: lists, counts, handles.
    void onCloseDocument();
    /// The framework's title for a document without a file ("BMP1", ...).
    void setUntitledTitle(const QString& title);

    imaging::ImageHandle& image() { return m_image; }
    const imaging::FileInfo& fileInfo() const { return m_info; }
    int formatCode() const { return m_format; }
    QString title() const { return m_title; }
    QString pathName() const { return m_pathName; }
    bool hasFile() const { return m_hasFile; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    bool loadFailed() const { return m_loadFailed; }
    bool saveSucceeded() const { return m_saveSucceeded; }
    bool multiPage() const { return m_multiPage; }
    bool madeFromBitmap() const { return m_madeFromBitmap; }
    bool loadedThroughSecondLibrary() const { return m_loadedSecond; }
    bool reloaded() const { return m_reloaded; }

    DocumentServices& services() const { return m_services; }
    /// The document's commands (Save, Save As, Close).
    CommandMap& commands() { return m_commands; }

    /// The handles the view's editing tools use, freed with the document.
    imaging::ImageHandle& undoCopy() { return m_undo; }
    imaging::ImageHandle& floatingObject() { return m_object; }
    imaging::ImageHandle& savedBackground() { return m_background; }
    imaging::ImageHandle& scratch() { return m_scratch; }

Q_SIGNALS:
    /// The picture was replaced (loaded, reloaded, created).
    void imageChanged();
    void titleChanged();

private:
    int loadImage(const QString& path, bool* enciphered);
    int saveTo(const QString& path, int format, int bitsPerPixel, int qualityFactor,
               bool interlaced, bool progressive);
    int saveThroughSecondLibrary(const QString& path, int bitsPerPixel);
    void readInfo(const QString& path);
    void setTitleFromPath(const QString& path);
    bool quiet() const;

    DocumentServices& m_services;
    CommandMap m_commands;
    imaging::ImageHandle m_image;
    imaging::ImageHandle m_undo, m_object, m_background, m_scratch;
    imaging::FileInfo m_info;
    int m_format = 0;
    QString m_pathName;
    QString m_title;
    QString m_wallpaperPath;
    bool m_modified = false;
    bool m_loadFailed = false;
    bool m_saveSucceeded = false;
    bool m_multiPage = false;
    bool m_madeFromBitmap = false;
    bool m_loadedSecond = false;
    bool m_reloaded = false;
    bool m_hasFile = false;
};

/// The name convert mode saves a copy of `path` under: the target extension
/// ("." + `convertFormat`) replaces the file's own when that is the format's
/// usual one, else it is appended; a name that already ends in it stays.
QString convertedPath(const QString& path, int format, const QString& convertFormat);

/// The default file-option record as opening sets it before file
/// information (third field 32, fifth 1000, eighth 0), and as every load and
/// save leaves it (first two 200, fifth 1, the rest 0).
imaging::FileOptions openingFileOptions();
imaging::FileOptions restingFileOptions();
