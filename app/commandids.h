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

}  // namespace command
