#pragma once

#include "app/commandrouter.h"
#include "app/folders.h"
#include "app/openfiles.h"
#include "app/settingsfile.h"
#include "crypt/encryptionpassword.h"
#include "imaging/scanner/scanner.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CMainFrame;
class PromptService;
class RecentFileList;
class SettingsStore;

/// The value the current slide show and convert file names hold when unset.
inline const QString kEmptyFileName = QStringLiteral("empty");

/// The one document type the workspace opens.
struct DocumentTemplate {
    int resourceId = 130;
    QString typeName = QStringLiteral("BMP");
    QString filter = QStringLiteral("BMP Files (*.bmp)");
    QString extension = QStringLiteral(".BMP");
    QString registryTypeId = QStringLiteral("Pixoria_Studio.Document");
    QString registryTypeName = QStringLiteral("Pixoria_Studio Document");
};

/// The entry points of the subsystems the shell starts. The application
/// object does not depend on the subsystems; the program wires them in at
/// start, and an entry point left empty does nothing.
struct SubsystemEntryPoints {
    /// The image file check: 1 when the path is an image the program opens.
    std::function<int(const QString& path)> fileCheck;
    /// Opens the path as an image document; false when no document results.
    std::function<bool(const QString& path)> openDocumentFile;
    /// The slide show dialog, on the current slide show file.
    std::function<void()> openSlideShowDialog;
    /// The thumbnail search of the stored folder.
    std::function<void()> runFind;
    std::function<void()> startWizard;
    /// The slide show command; `instant` plays the open files.
    std::function<void(bool instant)> slideShow;
    /// The runtime player creator; `instant` starts it on the open files.
    std::function<void(bool instant)> createRuntime;
    std::function<void()> playRuntime;
    std::function<void()> newAlbum;
    std::function<void()> editAlbum;
    std::function<void()> viewAlbum;
    /// Hides or shows the thumbnail windows (around a screen capture).
    std::function<void(bool visible)> showThumbnailWindows;
    /// Opens the scanner connection for the main window; 0 when none.
    std::function<int()> openScannerConnection;
    /// Hands the PhotoCD load resolution (1-5) to the imaging library.
    std::function<void(int resolution)> setPhotoCdResolution;
};

/// The folders last used by the file dialogs and choosers.
struct LastFolders {
    QString open, save, search, albumSearch, sound, player, slideSave;
};

struct SearchValues {
    int searchSub = 0;
    QString searchString;
    int searchAlbumSub = 0;
    QString searchAlbumString;
};

/// The display and loading preferences.
struct DisplayValues {
    int orderedDither = 0;
    int autoPalette = 1;
    int fpxLoad = 0;
    int fitFlag = 1;
    int fitToPage = 1;
    int pcdResolution = 3;
};

/// The select tool's stored size and the size of new images.
struct ToolValues {
    int saveRect = 0;
    int rectWidth = 1;
    int rectHeight = 1;
    int newWidth = 100;
    int newHeight = 100;
    int flat = 0;
};

struct TextFlags {
    int center = 0;
    int dropShadow = 0;
    int outline = 0;
};

struct ScreenFacts {
    int colourDepth = 0;  // bits per pixel
    int width = 0;
    int height = 0;
};

/// How documents are saved while the slide show converts the ones it closes.
struct ConvertSettings {
    bool mode = false;  // set while the slide show closes documents of its list
    int format = 6;
    int bitsPerPixel = 24;
    int qualityFactor = 20;
    bool interlaced = false;
    bool progressive = false;
    QString lastConvertedFile;
};

/// What the last file check found besides its answer.
struct FileCheckFlags {
    bool encrypted = false;
    bool secondLibrary = false;
};

/// The modes tools set while they run; shared code looks at them.
struct AppModes {
    bool slideShow = false;  // the slide show dialog or its player is working
    bool player = false;     // the runtime creator is open
    bool albumView = false;  // an album is being viewed
};

/// The application object: owns what lives as long as the program (the
/// settings, the text style, the folders, the lists and modes that tools
/// share) and runs start-up and exit in their fixed order. One instance per
/// run; interface thread only.
class CFpicApp : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void scannerConnectionChanged(int handle);
    /// Every view redraws; `hint` says why (0 dithering, 1 palette).
    void viewsUpdateRequested(int hint);

public:
    /// Where the run takes its facts from.
    struct Environment {
        QString executableFolder;  // the folder of the running program
        QString settingsPath;      // empty: the user's settings store
        QStringList arguments;     // the command line after the program name
    };

    static constexpr int kSlideShowImageCapacity = 10000;
    static constexpr int kPlayerImageCapacity = 1000;
    static inline const QString kLoadingThumbnailsText =
        QStringLiteral("Loading thumbnails press [Esc] to cancel");
    static inline const QString kBlankPaneText = QString(46, QLatin1Char(' '));

    CFpicApp(Environment environment, PromptService& prompt, QObject* parent = nullptr);
    ~CFpicApp() override;

    /// The running instance, or null before one exists.
    static CFpicApp* instance();

    SubsystemEntryPoints& entryPoints() { return m_entryPoints; }
    /// Replaces the splash screen (tests record it instead of waiting).
    void setSplashRunner(std::function<void()> runner) { m_splashRunner = std::move(runner); }

    /// Start-up; false when the program must end.
    bool initInstance();
    /// Exit: stores the settings file; returns `frameworkResult` as the
    /// program's exit code.
    int exitInstance(int frameworkResult);

    SettingsStore& settings() { return *m_settings; }
    /// The application's commands, last in the routing chain.
    CommandMap& commands() { return m_commands; }
    PromptService& prompt() { return m_prompt; }
    CMainFrame* mainFrame() const { return m_mainFrame.get(); }
    const DocumentTemplate& documentTemplate() const { return m_documentTemplate; }

    const AppFolders& folders() const { return m_folders; }
    LastFolders& lastFolders() { return m_lastFolders; }
    SearchValues& searchValues() { return m_search; }
    DisplayValues& display() { return m_display; }
    ToolValues& toolValues() { return m_tools; }
    TextFlags& textFlags() { return m_textFlags; }
    TextStyle& textStyle() { return m_textStyle; }
    /// The text tool's text (kept for the run only).
    QString toolText() const { return m_toolText; }
    void setToolText(const QString& text) { m_toolText = text; }
    const ScreenFacts& screen() const { return m_screen; }
    AppModes& modes() { return m_modes; }
    bool isWindowsNt() const { return m_windowsNt; }
    int scannerConnection() const { return m_scannerConnection; }
    /// The connection handle, when it is opened later than start-up.
    void setScannerConnection(int handle);
    /// The scanners, through which Acquire and Select Source work.
    imaging::Scanner& scanner() { return m_scanner; }
    /// The encryption password of the run (memory only).
    EncryptionPassword& encryptionPassword() { return m_password; }
    /// The start-up options for this run after the wizard rule.
    bool thumbOnThisStart() const { return m_thumb; }
    bool wizardOnThisStart() const { return m_wizard; }
    bool splashOnThisStart() const { return m_splash; }

    OpenFilesList& openFiles() { return m_openFiles; }
    ImagePathList& slideShowImages() { return m_slideShowImages; }
    ImagePathList& playerImages() { return m_playerImages; }

    QString currentSlideShowFile() const { return m_currentSlideShowFile; }
    void setCurrentSlideShowFile(const QString& path) { m_currentSlideShowFile = path; }
    ConvertSettings& convertSettings() { return m_convert; }
    FileCheckFlags& fileCheckFlags() { return m_fileCheck; }
    QString lastClosedPath() const { return m_lastClosedPath; }
    void setLastClosedPath(const QString& path) { m_lastClosedPath = path; }
    /// The kind of document File New makes (0 ordinary, 1 capture, 2 paste,
    /// 3 copy, 4 acquire, 5 empty); set around File New by its callers.
    int documentKind() const { return m_documentKind; }
    void setDocumentKind(int kind) { m_documentKind = kind; }
    QString currentConvertFile() const { return m_currentConvertFile; }
    void setCurrentConvertFile(const QString& path) { m_currentConvertFile = path; }

    /// Asks every view to redraw (views connect to viewsUpdateRequested).
    void updateAllViews(int hint);

    /// Adds to the recent-file list, except while a tool collects pictures.
    void addToRecentFileList(const QString& path);
    RecentFileList& recentFiles() { return *m_recentFiles; }

    /// The file named on the command line (absolute), or empty.
    QString commandLineFile() const { return m_commandLineFile; }
    QString settingsFilePath() const;

private:
    void readStartupOptions();
    void parseCommandLine();
    void determineFolders();
    void readLastFolders();
    void readSearchAndDisplayValues();
    void measureScreen();
    void readToolValues();
    bool handleCommandLineFile();
    void runSplash();
    void loadTextStyle();
    void readTextFlags();
    void startToolsOfThisStart();

    Environment m_environment;
    PromptService& m_prompt;
    SubsystemEntryPoints m_entryPoints;
    CommandMap m_commands;
    std::function<void()> m_splashRunner;

    imaging::Scanner m_scanner;
    EncryptionPassword m_password;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<RecentFileList> m_recentFiles;
    std::unique_ptr<CMainFrame> m_mainFrame;
    DocumentTemplate m_documentTemplate;

    AppFolders m_folders;
    LastFolders m_lastFolders;
    SearchValues m_search;
    DisplayValues m_display;
    ToolValues m_tools;
    TextFlags m_textFlags;
    TextStyle m_textStyle;
    QString m_toolText;
    ScreenFacts m_screen;
    AppModes m_modes;
    bool m_windowsNt = false;
    int m_scannerConnection = 0;
    bool m_wizard = false;
    bool m_splash = false;
    bool m_thumb = false;

    OpenFilesList m_openFiles;
    ImagePathList m_slideShowImages{kSlideShowImageCapacity};
    ImagePathList m_playerImages{kPlayerImageCapacity};
    ConvertSettings m_convert;
    FileCheckFlags m_fileCheck;
    QString m_lastClosedPath;
    int m_documentKind = 0;
    QString m_currentSlideShowFile = kEmptyFileName;
    QString m_currentConvertFile = kEmptyFileName;
    QString m_commandLineFile;
};
