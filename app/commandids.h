#pragma once

/// The program's command ids, as its menus, toolbar and accelerators know
/// them.
namespace command {

inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kAppExit = 57665;
inline constexpr int kEditPaste = 57637;  // Paste as new image
inline constexpr int kCapture = 32778;
inline constexpr int kAcquire = 32775;
inline constexpr int kSelectSource = 32892;
inline constexpr int kSetPassword = 32897;
inline constexpr int kCloseAll = 32833;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTile = 57651;

inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFileMruFirst = 57616;
inline constexpr int kFileMruLast = 57631;
inline constexpr int kPreferences = 32793;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kCreateRuntime = 32894;
inline constexpr int kPlayRuntime = 32934;
inline constexpr int kSlideShow = 32773;
inline constexpr int kInstantSlideShow = 32930;
inline constexpr int kInstantPlayer = 32949;
inline constexpr int kWizard = 32967;
inline constexpr int kNewAlbum = 32935;
inline constexpr int kEditAlbum = 32936;
inline constexpr int kViewAlbum = 32937;
inline constexpr int kFind = 32906;
inline constexpr int kAbout = 57664;
inline constexpr int kHelpContents = 32891;
inline constexpr int kHelpTopics = 57667;
inline constexpr int kHelp = 57670;
inline constexpr int kContextHelp = 57669;
inline constexpr int kWebSite = 32923;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditUndo = 57643;
inline constexpr int kSelectTool = 32809;
inline constexpr int kCrop = 32810;
inline constexpr int kImageInformation = 32811;
inline constexpr int kDelete = 32844;
inline constexpr int kSetSelectSize = 32850;
inline constexpr int kZoom = 32781;
inline constexpr int kPointer = 32874;
inline constexpr int kText = 32907;
inline constexpr int kObjectMode = 32910;
inline constexpr int kCombineText = 32911;
inline constexpr int kPasteAsObject = 32912;
inline constexpr int kWallpaper = 32777;
inline constexpr int kWindowNew = 57648;
inline constexpr int kWindowArrange = 57649;
inline constexpr int kNextPane = 57680;
inline constexpr int kPreviousPane = 57681;
inline constexpr int kWizardBack = 32831;

}  // namespace command
