#include "image/fpicdoc.h"

#include "app/commandids.h"
#include "app/fpicapp.h"
#include "app/settingsstore.h"
#include "crypt/encryptedimage.h"
#include "image/filechooser.h"
#include "image/flashpixdlg.h"
#include "image/formats.h"
#include "image/placeholders.h"
#include "image/sizedlg.h"
#include "imaging/acquire.h"
#include "imaging/display.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "imaging/secondlibrary.h"
#include "platform/fileexception.h"
#include "platform/prompt.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A save refused before it started, its message already shown.
constexpr int kSaveStopped = -10000;
// An enciphered file that could not be opened for want of a password.
constexpr int kNoPassword = -10001;

const QString kCursorSize = QStringLiteral("Windows Cursors must be 32x32 pixels.");
const QString kIconSize =
    QStringLiteral("The Width and Height of a Windows Icons must not exceed 255 pixels.");

bool reloadsAfterSaving(int format) {
    switch (format) {
        case 10:
        case 11:
        case 20:
        case 81:
        case 82:
        case 83:
        case 84:
        case 98: return true;
        default: return false;
    }
}

/// The title without its last dot and what follows.
QString withoutExtension(const QString& title) {
    const qsizetype dot = title.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? title.left(dot) : title;
}

}  // namespace

imaging::FileOptions openingFileOptions() {
    imaging::FileOptions options = restingFileOptions();
    options.flags = imaging::kOptionCountPages;
    options.pageLimit = 1000;
    options.page = 0;
    return options;
}

imaging::FileOptions restingFileOptions() {
    imaging::FileOptions options;
    options.xResolution = 200;
    options.yResolution = 200;
    options.flags = 0;
    options.passes = 0;
    options.pageLimit = 1;
    options.unused6 = 0;
    options.unused7 = 0;
    options.page = 0;
    return options;
}

CFpicDoc::CFpicDoc(DocumentServices& services, QObject* parent) : QObject(parent), m_services(services) {
    imaging::initHandle(&m_image);
    m_commands.add(command::kFileSave, [this] { save(); });
    m_commands.add(command::kFileSaveAs, [this] { saveAs(); });
}

CFpicDoc::~CFpicDoc() = default;

bool CFpicDoc::quiet() const { return m_services.app.modes().slideShow; }

void CFpicDoc::setModified(bool modified) { m_modified = modified; }

void CFpicDoc::setTitleFromPath(const QString& path) {
    m_title = QFileInfo(path).fileName();
    Q_EMIT titleChanged();
}

void CFpicDoc::setUntitledTitle(const QString& title) {
    m_title = title;
    m_pathName = title;
    m_services.app.openFiles().add(title);
    m_services.app.openFiles().addUntitled();
    Q_EMIT titleChanged();
}

bool CFpicDoc::onNewDocument(Kind kind, const NewDocumentArguments& arguments) {
    CFpicApp& app = m_services.app;
    int status = imaging::kSuccess;
    switch (kind) {
        case Kind::Size: {
            CSizeDlg dialog(CSizeDlg::Form::NewImage, app.toolValues().newWidth,
                            app.toolValues().newHeight, toQColor(app.textStyle().fillColour));
            const bool accepted =
                m_services.runSizeDialog ? m_services.runSizeDialog(dialog) : dialog.exec() == QDialog::Accepted;
            if (!accepted) {
                m_loadFailed = true;
                return false;
            }
            app.toolValues().newWidth = dialog.imageWidth();
            app.toolValues().newHeight = dialog.imageHeight();
            app.settings().write(prefs::general::kNewWidth, dialog.imageWidth());
            app.settings().write(prefs::general::kNewHeight, dialog.imageHeight());
            app.textStyle().fillColour = toColorRef(dialog.background());
            status = imaging::createImage(&m_image, dialog.imageWidth(), dialog.imageHeight(), 24);
            if (status == imaging::kSuccess) {
                status = imaging::fillImage(&m_image, dialog.background());
            }
            if (status != imaging::kSuccess) {
                image::reportImagingResult(app.prompt(), status);
                return false;
            }
            m_modified = true;
            break;
        }
        case Kind::Capture: {
            if (m_services.showMainWindow) {
                m_services.showMainWindow(false);
            }
            if (m_services.wait) {
                m_services.wait(1000);
            }
            status = imaging::captureScreen(&m_image);
            if (m_services.showMainWindow) {
                m_services.showMainWindow(true);
            }
            if (status != imaging::kSuccess) {
                return false;
            }
            m_modified = true;
            break;
        }
        case Kind::Paste:
            if (imaging::pasteFromClipboard(&m_image) != imaging::kSuccess) {
                return false;
            }
            break;
        case Kind::Copy:
            if (!arguments.source || imaging::copyImage(&m_image, *arguments.source) != imaging::kSuccess) {
                return false;
            }
            break;
        case Kind::Acquire:
            if (imaging::acquireImage(app.scanner(), &m_image) != imaging::kSuccess) {
                return false;
            }
            break;
        case Kind::Empty:
            m_modified = true;
            if (imaging::createImage(&m_image, arguments.width, arguments.height, arguments.bitsPerPixel) !=
                imaging::kSuccess) {
                return false;
            }
            m_madeFromBitmap = true;
            break;
    }
    Q_EMIT imageChanged();
    return true;
}

int CFpicDoc::loadImage(const QString& path, bool* enciphered) {
    CFpicApp& app = m_services.app;
    *enciphered = false;
    imaging::setDefaultFileOptions(openingFileOptions());
    imaging::FileInfo info;
    const int status = imaging::fileInfo(path, &info);
    m_format = status == imaging::kSuccess ? info.format : 0;
    m_info = status == imaging::kSuccess ? info : imaging::FileInfo();
    if (m_format >= imaging::format::kFlashPix && m_format <= imaging::format::kFlashPixVariableJpeg) {
        QList<QSize> sizes;
        if (imaging::flashPixResolutions(path, &sizes) == imaging::kSuccess) {
            const int choice = chooseFlashPixResolution(sizes, app.display().fpxLoad == 1, quiet(),
                                                        m_services.askFlashPixResolution);
            if (choice >= 0) {
                imaging::setFlashPixResolution(choice);
            }
        }
    }
    if ((m_format == imaging::format::kGif || m_format == 59) && info.pages > 1) {
        m_multiPage = true;
    }
    imaging::setDefaultFileOptions(restingFileOptions());

    if (m_format != 0 && !imaging::format::isLzwTiff(m_format)) {
        return imaging::loadFile(path, &m_image);
    }
    if (app.fileCheckFlags().secondLibrary) {
        app.fileCheckFlags().secondLibrary = false;
        if (imaging::second::load(path, &m_image) != 0) {
            imaging::second::clearErrors();
            return imaging::kErrorInvalidFormat;
        }
        m_loadedSecond = true;
        return imaging::kSuccess;
    }
    if (cipher::encryptedHeader(path) == cipher::EncryptedKind::None) {
        // The library knew the file (an LZW TIFF opened without the file
        // check): it reads it itself. Otherwise its answer stands.
        return status == imaging::kSuccess ? imaging::loadFile(path, &m_image) : status;
    }
    *enciphered = true;
    cipher::DecipherContext context;
    context.prompt = &app.prompt();
    context.askPassword = m_services.setPassword;
    context.quiet = quiet();
    bool noPassword = false;
    const int result =
        cipher::decipherAndLoad(path, &m_image, app.encryptionPassword(), context, &noPassword);
    if (noPassword) {
        return kNoPassword;
    }
    return result;
}

bool CFpicDoc::onOpenDocument(const QString& path) {
    CFpicApp& app = m_services.app;
    m_hasFile = true;
    {
        // The framework's own check that the file can be read.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            if (!quiet()) {
                app.prompt().message(FileException::fromErrno(ENOENT, path).message());
            }
            m_loadFailed = true;
            return false;
        }
    }
    bool enciphered = false;
    const int status = loadImage(path, &enciphered);
    m_pathName = path;
    setTitleFromPath(path);
    if (status == kNoPassword) {
        m_loadFailed = true;
        imaging::createImage(&m_image, 20, 20, 8);
        Q_EMIT imageChanged();
        return true;
    }
    if (status == imaging::kSuccess) {
        if (!quiet()) {
            app.openFiles().add(path);
        }
        Q_EMIT imageChanged();
        return true;
    }
    if (!quiet() && !enciphered) {
        image::reportImagingResult(app.prompt(), status);
    }
    m_loadFailed = true;
    image::makePlaceholder(enciphered ? image::Placeholder::Encrypted : image::Placeholder::LoadFailed,
                           &m_image);
    if (enciphered) {
        m_loadFailed = false;  // the document stays open with its padlock
    }
    Q_EMIT imageChanged();
    return true;
}

void CFpicDoc::readInfo(const QString& path) {
    imaging::setDefaultFileOptions(openingFileOptions());
    imaging::FileInfo info;
    if (imaging::fileInfo(path, &info) == imaging::kSuccess) {
        m_info = info;
        m_format = info.format;
    }
    imaging::setDefaultFileOptions(restingFileOptions());
}

int CFpicDoc::saveThroughSecondLibrary(const QString& path, int bitsPerPixel) {
    PromptService& prompt = m_services.app.prompt();
    const auto showErrors = [&prompt] {
        for (int i = 0; i < imaging::second::errorCount(); ++i) {
            const imaging::second::Error error = imaging::second::errorAt(i);
            prompt.message(QStringLiteral("Error %1 in Module %2 at Line %3")
                               .arg(error.code)
                               .arg(error.module)
                               .arg(error.line),
                           PromptService::Icon::Stop, QStringLiteral("Error"));
        }
        imaging::second::clearErrors();
    };
    showErrors();
    imaging::ImageHandle converted;
    imaging::copyImage(&converted, m_image);
    if (bitsPerPixel != 0 && bitsPerPixel != converted.bitsPerPixel) {
        imaging::changeBitsPerPixel(&converted, bitsPerPixel, imaging::Dither::ErrorDiffusion);
    }
    const int result = imaging::second::save(path, converted, imaging::second::kIffAmiga);
    showErrors();
    // Its errors were shown above; a file that was not written is not saved.
    return result == 0 ? imaging::kSuccess : kSaveStopped;
}

int CFpicDoc::saveTo(const QString& path, int format, int bitsPerPixel, int qualityFactor,
                     bool interlaced, bool progressive) {
    PromptService& prompt = m_services.app.prompt();
    if (format == imaging::format::kCursor && m_image.image.size() != QSize(32, 32)) {
        prompt.message(kCursorSize, PromptService::Icon::Stop);
        return kSaveStopped;
    }
    if (format == imaging::format::kIcon && (m_image.width() > 255 || m_image.height() > 255)) {
        prompt.message(kIconSize, PromptService::Icon::Stop);
        return kSaveStopped;
    }
    imaging::FileOptions options = restingFileOptions();
    if (format == imaging::format::kGif && interlaced) {
        options.flags = imaging::kOptionInterlaced;
    }
    if ((format == imaging::format::kJpeg || format == imaging::format::kLead) && progressive) {
        options.passes = -1;
    }
    imaging::setDefaultFileOptions(options);
    const int status = format == imaging::format::kIffSecond
                           ? saveThroughSecondLibrary(path, bitsPerPixel)
                           : imaging::saveFile(path, m_image, format, bitsPerPixel, qualityFactor);
    imaging::setDefaultFileOptions(restingFileOptions());
    return status;
}

bool CFpicDoc::save() {
    if (m_services.app.convertSettings().mode) {
        return saveInConvertMode();
    }
    if (!m_hasFile) {
        return saveAs();
    }
    if (!m_modified) {
        return true;
    }
    const int status = saveTo(m_pathName, m_format, m_image.bitsPerPixel, imaging::kDefaultQualityFactor,
                              false, false);
    if (status == imaging::kSuccess) {
        m_modified = false;
        m_saveSucceeded = true;
        return true;
    }
    // Say why before asking where else to save it.
    if (status != kSaveStopped) {
        image::reportImagingResult(m_services.app.prompt(), status);
    }
    return saveAs();
}

bool CFpicDoc::saveAs() {
    CFpicApp& app = m_services.app;
    image::SaveRequest request;
    request.title = QStringLiteral("Save As");
    // The default folder may not exist yet; the picture folder stands in.
    request.folder = QFileInfo(app.lastFolders().save).isDir() ? app.lastFolders().save
                                                               : app.folders().windows;
    request.proposedName = withoutExtension(m_title);
    request.typeIndex = app.settings().read(prefs::general::kLastSaveExt);
    request.defaultExtension = QStringLiteral("bmp");
    request.image = &m_image;
    request.sizeOnDisk = m_hasFile ? m_info.sizeDisk : 0;
    const image::SaveChoice choice = m_services.chooser.chooseToSave(request);
    if (!choice.accepted) {
        return false;
    }
    app.lastFolders().save = choice.folder;
    app.settings().write(prefs::general::kLastSaveDir, choice.folder);
    app.settings().write(prefs::general::kLastSaveExt, choice.typeIndex);

    const int status = saveTo(choice.path, choice.format, choice.bitsPerPixel, choice.qualityFactor,
                              choice.interlaced, choice.progressive);
    if (status != imaging::kSuccess) {
        m_saveSucceeded = false;
        if (status != kSaveStopped) {
            image::reportImagingResult(app.prompt(), status);
        }
        return false;
    }
    if (!m_hasFile) {
        m_hasFile = true;
        app.openFiles().removeUntitled();
    }
    app.openFiles().replace(m_pathName, choice.path);
    app.addToRecentFileList(choice.path);
    m_pathName = choice.path;
    setTitleFromPath(choice.path);
    readInfo(choice.path);
    if (reloadsAfterSaving(choice.format) || choice.bitsPerPixel != m_image.bitsPerPixel) {
        // The view shows what the file now holds.
        imaging::ImageHandle reloaded;
        const int loaded = choice.format == imaging::format::kIffSecond
                               ? (imaging::second::load(choice.path, &reloaded) == 0 ? imaging::kSuccess
                                                                                     : imaging::kErrorFileRead)
                               : imaging::loadFile(choice.path, &reloaded);
        if (loaded == imaging::kSuccess) {
            m_image = std::move(reloaded);
            m_reloaded = true;
            Q_EMIT imageChanged();
        }
    }
    m_modified = false;
    m_saveSucceeded = true;
    return true;
}

QString convertedPath(const QString& path, int format, const QString& convertFormat) {
    const QString target = QLatin1Char('.') + convertFormat;
    QString converted = path;
    const bool threeLetterExtension =
        converted.size() > 4 && converted.at(converted.size() - 4) == QLatin1Char('.');
    if (!threeLetterExtension) {
        return converted + target;
    }
    const QString extension = converted.right(3);
    if (QLatin1Char('.') + extension == target) {
        return converted;
    }
    // The extension is compared as the format's own is written: lower case.
    if (extension.toLower() == image::defaultExtension(format)) {
        converted.chop(4);
    }
    return converted + target;
}

bool CFpicDoc::saveInConvertMode() {
    CFpicApp& app = m_services.app;
    const ConvertSettings& convert = app.convertSettings();
    const QString path =
        convertedPath(m_pathName, m_format, app.settings().read(prefs::convert::kConvertFormat));
    const int status = saveTo(path, convert.format, convert.bitsPerPixel, convert.qualityFactor,
                              convert.interlaced, convert.progressive);
    app.convertSettings().lastConvertedFile = path;
    if (status != imaging::kSuccess) {
        return false;
    }
    m_modified = false;
    return true;
}

bool CFpicDoc::saveModified() {
    if (!m_modified) {
        return true;
    }
    CFpicApp& app = m_services.app;
    const bool noCancel = app.convertSettings().mode || app.modes().player;
    const PromptService::Answer answer =
        app.prompt().ask(QStringLiteral("Save changes to %1?").arg(m_title),
                         noCancel ? PromptService::Buttons::YesNo : PromptService::Buttons::YesNoCancel,
                         PromptService::Icon::Question);
    switch (answer) {
        case PromptService::Answer::Yes: return save();
        case PromptService::Answer::No: m_modified = false; return true;
        default: return false;
    }
}

void CFpicDoc::onCloseDocument() {
    CFpicApp& app = m_services.app;
    app.setLastClosedPath(m_pathName);
    for (imaging::ImageHandle* handle : {&m_image, &m_undo, &m_object, &m_background, &m_scratch}) {
        imaging::freeImage(handle);
    }
    if (!quiet()) {
        app.openFiles().remove(m_pathName);
    }
    if (!m_hasFile) {
        app.openFiles().removeUntitled();
    }
}
