#pragma once

#include <QtGlobal>

/// Result codes of the imaging interface: 1 is success, negative values are
/// errors that the program's message table turns into text.
namespace imaging {

inline constexpr int kSuccess = 1;
inline constexpr int kErrorNoMemory = -1;
inline constexpr int kErrorInvalidParameter = -2;
inline constexpr int kErrorFileWrite = -5;
inline constexpr int kErrorFileNotFound = -6;
inline constexpr int kErrorFileRead = -7;
inline constexpr int kErrorInvalidFileName = -8;
inline constexpr int kErrorInvalidFormat = -9;
inline constexpr int kErrorFileOpen = -14;
inline constexpr int kErrorUnknownCompression = -15;
inline constexpr int kErrorPrinter = -18;
inline constexpr int kErrorCrc = -19;
inline constexpr int kErrorUserAbort = -100;
inline constexpr int kErrorLzwTiff = -146;

/// Largest image any decoder makes: a header announcing more is refused with
/// kErrorNoMemory before anything is allocated.
inline constexpr qint64 kMaxPixels = 256LL * 1024 * 1024;
inline constexpr int kMaxDimension = 65535;

}  // namespace imaging
