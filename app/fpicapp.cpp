#include "app/fpicapp.h"

#include "app/mainframe.h"
#include "app/recentfiles.h"
#include "app/settingsstore.h"
#include "app/splashdlg.h"
#include "platform/prompt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

namespace {
CFpicApp* g_instance = nullptr;
}  // namespace

CFpicApp::CFpicApp(Environment environment, PromptService& prompt, QObject* parent)
    : QObject(parent), m_environment(std::move(environment)), m_prompt(prompt) {
    g_instance = this;
    m_splashRunner = [this] {
        CSplashDlg splash(m_mainFrame.get());
        splash.exec();
    };
}

CFpicApp::~CFpicApp() {
    if (g_instance == this) {
        g_instance = nullptr;
    }
}

CFpicApp* CFpicApp::instance() {
    return g_instance;
}

bool CFpicApp::initInstance() {
    // Qt's widgets need no container or three-dimensional control set-up.
    // The settings store, with its recent-file list of eight.
    m_settings = m_environment.settingsPath.isEmpty()
                     ? std::make_unique<SettingsStore>()
                     : std::make_unique<SettingsStore>(m_environment.settingsPath);
    m_recentFiles = std::make_unique<RecentFileList>(m_settings->backend());

    // The one document template is m_documentTemplate. The main frame:
    m_mainFrame = std::make_unique<CMainFrame>(*m_settings);
    if (!m_mainFrame->create()) {
        return false;
    }
    m_mainFrame->setAcceptDrops(true);
    connect(m_mainFrame.get(), &CMainFrame::filesDropped, this, [this](const QStringList& paths) {
        for (const QString& path : paths) {
            if (m_entryPoints.openDocumentFile) {
                m_entryPoints.openDocumentFile(path);
            }
        }
    });

    if (m_entryPoints.openScannerConnection) {
        m_scannerConnection = m_entryPoints.openScannerConnection();
    }

    readStartupOptions();
    parseCommandLine();
    m_mainFrame->showMaximizedOnScreen();
    m_mainFrame->update();

    determineFolders();
    readLastFolders();
    m_folders.albums = determineAlbumFolder(m_folders.program);
    readSearchAndDisplayValues();
    measureScreen();
    readToolValues();
    if (!handleCommandLineFile()) {
        return false;
    }
    if (m_splash) {
        runSplash();
    }
    loadTextStyle();
    readTextFlags();
    // The program behaves as on the NT family everywhere (no thumbnail limit).
    m_windowsNt = true;
    startToolsOfThisStart();
    // Always load the largest FlashPix resolution in this run, whatever is
    // stored; the preferences can turn it off until the next start.
    m_display.fpxLoad = 1;
    return true;
}

void CFpicApp::readStartupOptions() {
    m_wizard = m_settings->read(prefs::general::kWizard) == 1;
    m_splash = m_settings->read(prefs::general::kSplash) == 1;
    m_thumb = m_settings->read(prefs::general::kThumb) == 1;
    if (m_wizard) {
        m_thumb = false;
    }
    if (m_thumb) {
        m_mainFrame->setMessagePaneText(kLoadingThumbnailsText);
    }
}

void CFpicApp::parseCommandLine() {
    // One optional file name. Relative names are made absolute here, before
    // anything else can depend on the current folder.
    for (const QString& argument : m_environment.arguments) {
        if (!argument.isEmpty()) {
            m_commandLineFile = QFileInfo(argument).absoluteFilePath();
            break;
        }
    }
}

void CFpicApp::determineFolders() {
    m_folders.program = determineProgramFolder(m_environment.executableFolder);
    m_settings->write(prefs::general::kCdir, m_folders.program);
    m_folders.windows = determineWindowsFolder(m_folders.program);
    m_settings->setDefaultFolders(m_folders.program, m_folders.windows);
}

void CFpicApp::readLastFolders() {
    using namespace prefs::general;
    m_lastFolders.open = m_settings->read(kLastOpenDir);
    m_lastFolders.save = m_settings->read(kLastSaveDir);
    m_lastFolders.search = m_settings->read(kLastSearchDir);
    m_lastFolders.albumSearch = m_settings->read(kLastAlbumSearchDir);
    m_lastFolders.sound = m_settings->read(kLastSoundDir);
    m_lastFolders.player = m_settings->read(kLastPlayerDir);
    m_lastFolders.slideSave = m_settings->read(kLastSlideSaveDir);
}

void CFpicApp::readSearchAndDisplayValues() {
    using namespace prefs::general;
    m_search.searchSub = m_settings->read(kSearchSub);
    m_search.searchString = m_settings->read(kSearchString);
    m_search.searchAlbumSub = m_settings->read(kSearchAlbumSub);
    m_search.searchAlbumString = m_settings->read(kSearchAlbumString);
    m_display.orderedDither = m_settings->read(kOrderedDither);
    m_display.autoPalette = m_settings->read(kAutoPalette);
    m_display.fpxLoad = m_settings->read(kFpxLoad);
    m_display.fitFlag = m_settings->read(kFitFlag);
    m_display.fitToPage = m_settings->read(kFitToPage);
    m_display.pcdResolution = m_settings->read(kPcdResolution);
    if (m_entryPoints.setPhotoCdResolution) {
        m_entryPoints.setPhotoCdResolution(m_display.pcdResolution);
    }
}

void CFpicApp::measureScreen() {
    const QScreen* screen = m_mainFrame->screen();
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        m_screen.colourDepth = screen->depth();
        m_screen.width = screen->geometry().width();
        m_screen.height = screen->geometry().height();
    }
}

void CFpicApp::readToolValues() {
    using namespace prefs::general;
    m_tools.saveRect = m_settings->read(kSaveRect);
    m_tools.rectWidth = m_settings->read(kRectWidth);
    m_tools.rectHeight = m_settings->read(kRectHeight);
    m_tools.newWidth = m_settings->read(kNewWidth);
    m_tools.newHeight = m_settings->read(kNewHeight);
    m_tools.flat = m_settings->read(kFlat);
}

bool CFpicApp::handleCommandLineFile() {
    if (m_commandLineFile.isEmpty()) {
        return true;
    }
    m_splash = false;
    m_thumb = false;
    m_mainFrame->setMessagePaneText(kBlankPaneText);

    const int check = m_entryPoints.fileCheck ? m_entryPoints.fileCheck(m_commandLineFile) : 0;
    if (check == 1) {
        return !m_entryPoints.openDocumentFile || m_entryPoints.openDocumentFile(m_commandLineFile);
    }
    if (m_commandLineFile.endsWith(QLatin1String("sld")) ||
        m_commandLineFile.endsWith(QLatin1String("SLD"))) {
        m_currentSlideShowFile = m_commandLineFile;
        if (m_entryPoints.openSlideShowDialog) {
            m_entryPoints.openSlideShowDialog();
        }
        m_currentSlideShowFile = kEmptyFileName;
        addToRecentFileList(m_commandLineFile);
        return true;
    }
    m_prompt.message(QStringLiteral("Invalid File Format: %1").arg(m_commandLineFile));
    return true;
}

void CFpicApp::runSplash() {
    if (m_splashRunner) {
        m_splashRunner();
    }
}

void CFpicApp::loadTextStyle() {
    if (const std::optional<TextStyle> stored = loadSettingsFile(settingsFilePath())) {
        m_textStyle = *stored;
    } else {
        m_textStyle = TextStyle();
        m_textStyle.font = toLogFont(QApplication::font());
    }
}

void CFpicApp::readTextFlags() {
    m_textFlags.center = m_settings->read(prefs::text::kCenter);
    m_textFlags.dropShadow = m_settings->read(prefs::text::kDropShadow);
    m_textFlags.outline = m_settings->read(prefs::text::kOutline);
}

void CFpicApp::startToolsOfThisStart() {
    if (m_thumb && m_entryPoints.runFind) {
        m_entryPoints.runFind();
    }
    if (m_wizard && m_entryPoints.startWizard) {
        m_entryPoints.startWizard();
    }
}

int CFpicApp::exitInstance(int frameworkResult) {
    // A settings file that cannot be written is passed over silently; the
    // previous one stays as it was.
    if (!m_folders.program.isEmpty()) {
        storeSettingsFile(settingsFilePath(), m_textStyle);
    }
    return frameworkResult;
}

QString CFpicApp::settingsFilePath() const {
    return m_folders.program + QLatin1String(kSettingsFileName);
}

void CFpicApp::setScannerConnection(int handle) {
    m_scannerConnection = handle;
    Q_EMIT scannerConnectionChanged(handle);
}

void CFpicApp::updateAllViews(int hint) {
    Q_EMIT viewsUpdateRequested(hint);
}

void CFpicApp::addToRecentFileList(const QString& path) {
    if (m_modes.slideShow || m_modes.player) {
        return;
    }
    m_recentFiles->add(path);
}
