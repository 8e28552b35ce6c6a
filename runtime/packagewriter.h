#pragma once

#include "runtime/packageformat.h"
#include "runtime/playerproject.h"

#include <QString>

#include <functional>

/// Writes runtime player packages: the player stub, the header and tables,
/// the prepared pictures, sounds and descriptions enciphered, the trailer.
/// Any thread; one package per call.
namespace runtime {

/// The player stub's file name.
inline constexpr char kStubFileName[] = "zs1.dll";

/// Where the player stub that ships with the program lies: beside the
/// running program, else in the installation's data folder. The path beside
/// the program when neither holds one, so that a message can name it.
QString defaultStubPath();

struct PackageWriteOptions {
    QString stubPath;
    /// The user's password, used when the project's encrypt option is on:
    /// 2 to 96 characters.
    QString password;
    /// The settings value "sendpass" is 1: an encrypted package carries its
    /// key in the key blocks, under the transport key.
    bool sendPassword = true;
};

struct PackageWriteResult {
    bool ok = false;
    QString message;       // why nothing was written
    PackageHeader header;  // what was written
};

/// Writes `project` (its prepared pictures, sound paths and descriptions;
/// the sound mode is stored as packageSoundMode gives it) to `outputPath`
/// through a temporary file beside it, renamed over it only when complete
/// and made executable. A sound file that cannot be read is stored as no
/// sound. Refused: no pictures or more than kMaxImages, a stub whose length
/// a reader would not take, encryption without a usable password, a
/// prepared picture that cannot be read or any failure of the output file;
/// nothing is left behind then. `progress` gets steps 1 to n + 4.
PackageWriteResult writePackage(const QString& outputPath, const PlayerProject& project,
                                const PackageWriteOptions& options,
                                const std::function<void(int step)>& progress = {});

}  // namespace runtime
