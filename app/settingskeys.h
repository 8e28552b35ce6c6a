#pragma once

#include <array>

/// Every value of the settings store with its section, name and default.
/// Code reads and writes settings through these constants and SettingsStore,
/// never through bare strings.

/// A stored integer.
struct IntSetting {
    const char* section;
    const char* key;
    int fallback;
};

/// A stored string. Folder defaults depend on where the program runs, so
/// they are resolved by the store (SettingsStore::setDefaultFolders).
struct StringSetting {
    enum class Default {
        Text,           // `text` itself
        ProgramFolder,  // the program folder followed by `text`
        WindowsFolder,  // the default picture folder
    };
    const char* section;
    const char* key;
    Default kind;
    const char* text;
};

namespace prefs {

// Section "settings".
namespace general {
inline constexpr const char* kSection = "settings";
inline constexpr IntSetting kWizard{kSection, "wizard", 1};
inline constexpr IntSetting kSplash{kSection, "splash", 1};
inline constexpr IntSetting kThumb{kSection, "thumb", 1};
inline constexpr StringSetting kCdir{kSection, "cdir", StringSetting::Default::Text, ""};
inline constexpr StringSetting kLastOpenDir{kSection, "lastOpenDir",
                                            StringSetting::Default::ProgramFolder, "Images/"};
inline constexpr StringSetting kLastSaveDir{kSection, "lastSaveDir",
                                            StringSetting::Default::ProgramFolder, "Images/"};
inline constexpr StringSetting kLastSearchDir{kSection, "lastSearchDir",
                                              StringSetting::Default::WindowsFolder, ""};
inline constexpr StringSetting kLastAlbumSearchDir{kSection, "lastAlbumSearchDir",
                                                   StringSetting::Default::WindowsFolder, ""};
inline constexpr StringSetting kLastSoundDir{kSection, "lastSoundDir",
                                             StringSetting::Default::ProgramFolder, "Sounds/"};
inline constexpr StringSetting kLastPlayerDir{
    kSection, "lastPlayerDir", StringSetting::Default::ProgramFolder, "Runtime Players/"};
inline constexpr StringSetting kLastSlideSaveDir{
    kSection, "lastSlideSaveDir", StringSetting::Default::ProgramFolder, "Slide Shows/"};
inline constexpr IntSetting kSearchSub{kSection, "searchsub", 0};
inline constexpr StringSetting kSearchString{kSection, "searchstring", StringSetting::Default::Text,
                                             "*.bmp"};
inline constexpr IntSetting kSearchAlbumSub{kSection, "searchalbumsub", 0};
inline constexpr StringSetting kSearchAlbumString{kSection, "searchalbumstring",
                                                  StringSetting::Default::Text, "*.bmp"};
inline constexpr IntSetting kSearchGood{kSection, "searchgood", 1};
inline constexpr IntSetting kOrderedDither{kSection, "orderedDither", 0};
inline constexpr IntSetting kAutoPalette{kSection, "autoPalette", 1};
inline constexpr IntSetting kFpxLoad{kSection, "fpxLoad", 0};
inline constexpr IntSetting kFitFlag{kSection, "fitFlag", 1};
inline constexpr IntSetting kFitToPage{kSection, "fitToPage", 1};
inline constexpr IntSetting kPcdResolution{kSection, "pcdResolution", 3};
inline constexpr IntSetting kSaveRect{kSection, "saverect", 0};
inline constexpr IntSetting kRectWidth{kSection, "rectwidth", 1};
inline constexpr IntSetting kRectHeight{kSection, "rectheight", 1};
inline constexpr IntSetting kNewWidth{kSection, "newwidth", 100};
inline constexpr IntSetting kNewHeight{kSection, "newheight", 100};
inline constexpr IntSetting kFlat{kSection, "flat", 0};
inline constexpr IntSetting kLastExt{kSection, "lastExt", 1};
inline constexpr IntSetting kLastSaveExt{kSection, "lastSaveExt", 1};
inline constexpr IntSetting kTile{kSection, "tile", 0};
inline constexpr IntSetting kSendPass{kSection, "sendpass", 1};
}  // namespace general

// Section "text": the flags of the text tool.
namespace text {
inline constexpr const char* kSection = "text";
inline constexpr IntSetting kCenter{kSection, "center", 0};
inline constexpr IntSetting kDropShadow{kSection, "dropShadow", 0};
inline constexpr IntSetting kOutline{kSection, "outline", 0};
}  // namespace text

// Section "convert".
namespace convert {
inline constexpr const char* kSection = "convert";
inline constexpr StringSetting kConvertFormat{kSection, "convertFormat",
                                              StringSetting::Default::Text, "bmp"};
}  // namespace convert

// Section "slideshow". The transition set is stored as "tn0", "tn1", ...
// (see kTransitionSetPrefix), each defaulting to kTransitionSetFallback.
namespace slideshow {
inline constexpr const char* kSection = "slideshow";
inline constexpr IntSetting kTransition{kSection, "transition", 1};
inline constexpr IntSetting kDelay{kSection, "delay", 3};
inline constexpr IntSetting kLoop{kSection, "loop", 1};
inline constexpr IntSetting kManualMode{kSection, "manualMode", 0};
inline constexpr IntSetting kAdvanced{kSection, "advanced", 1};
inline constexpr IntSetting kTransitionMode{kSection, "transitionMode", 0};
inline constexpr IntSetting kNumberUsed{kSection, "numberUsed", 0};
inline constexpr const char* kTransitionSetPrefix = "tn";
inline constexpr int kTransitionSetFallback = 1;
inline constexpr StringSetting kFilter{kSection, "filter", StringSetting::Default::Text,
                                       "All Files (*.*)"};
inline constexpr StringSetting kDirectory{kSection, "directory",
                                          StringSetting::Default::ProgramFolder, ""};
inline constexpr IntSetting kSoundSync{kSection, "soundsync", 0};
inline constexpr IntSetting kSoundMode{kSection, "soundmode", 0};
}  // namespace slideshow

// Section "runtime": the runtime player creator.
namespace runtime {
inline constexpr const char* kSection = "runtime";
inline constexpr StringSetting kFilter{kSection, "filter", StringSetting::Default::Text,
                                       "All Files (*.*)"};
inline constexpr StringSetting kDirectory{kSection, "directory",
                                          StringSetting::Default::ProgramFolder, ""};
inline constexpr IntSetting kDelay{kSection, "delay", 2};
inline constexpr IntSetting kAutoStart{kSection, "autostart", 1};
inline constexpr IntSetting kLoop{kSection, "loop", 0};
inline constexpr IntSetting kFullScreen{kSection, "fullscreen", 0};
inline constexpr IntSetting kTransitions{kSection, "transitions", 0};
inline constexpr IntSetting kText{kSection, "text", 0};
inline constexpr IntSetting kSoundMode{kSection, "soundmode", 0};
inline constexpr IntSetting kEncrypt{kSection, "encrypt", 0};
inline constexpr IntSetting kSync{kSection, "sync", 0};
}  // namespace runtime

/// Every integer and string setting, for code that walks them all.
inline constexpr std::array kAllIntSettings = {
    general::kWizard,
    general::kSplash,
    general::kThumb,
    general::kSearchSub,
    general::kSearchAlbumSub,
    general::kSearchGood,
    general::kOrderedDither,
    general::kAutoPalette,
    general::kFpxLoad,
    general::kFitFlag,
    general::kFitToPage,
    general::kPcdResolution,
    general::kSaveRect,
    general::kRectWidth,
    general::kRectHeight,
    general::kNewWidth,
    general::kNewHeight,
    general::kFlat,
    general::kLastExt,
    general::kLastSaveExt,
    general::kTile,
    general::kSendPass,
    text::kCenter,
    text::kDropShadow,
    text::kOutline,
    slideshow::kTransition,
    slideshow::kDelay,
    slideshow::kLoop,
    slideshow::kManualMode,
    slideshow::kAdvanced,
    slideshow::kTransitionMode,
    slideshow::kNumberUsed,
    slideshow::kSoundSync,
    slideshow::kSoundMode,
    runtime::kDelay,
    runtime::kAutoStart,
    runtime::kLoop,
    runtime::kFullScreen,
    runtime::kTransitions,
    runtime::kText,
    runtime::kSoundMode,
    runtime::kEncrypt,
    runtime::kSync,
};
inline constexpr std::array kAllStringSettings = {
    general::kCdir,
    general::kLastOpenDir,
    general::kLastSaveDir,
    general::kLastSearchDir,
    general::kLastAlbumSearchDir,
    general::kLastSoundDir,
    general::kLastPlayerDir,
    general::kLastSlideSaveDir,
    general::kSearchString,
    general::kSearchAlbumString,
    convert::kConvertFormat,
    slideshow::kFilter,
    slideshow::kDirectory,
    runtime::kFilter,
    runtime::kDirectory,
};

}  // namespace prefs
