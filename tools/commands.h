#pragma once

#include "platform/colorref.h"

#include <QJsonObject>
#include <QStringList>

#include <cstdio>

namespace tool {

/// Runs one pixoria-tool command line (without the program name), writing
/// results to `out` and problems to `err`. Returns the exit code: 0 done,
/// 1 the work failed, 2 the command line was wrong.
int run(const QStringList& arguments, std::FILE* out, std::FILE* err);

/// The subcommands, each in a file of its own.
int settingsFileCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);
/// "info", "convert" and "formats".
int imageCommand(const QString& command, const QStringList& arguments, std::FILE* out,
                 std::FILE* err);

/// "encipher", and "info FILE --password P" for enciphered images.
int encipherCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);
int encryptedInfoCommand(const QString& path, const QStringList& options, std::FILE* out,
                         std::FILE* err);

/// "alb dump FILE": an album file as JSON.
int albumCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);

/// "sld dump FILE": a slide show file as JSON.
int slideShowCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);

/// "rtp dump FILE": a player project as JSON. "package build|dump|extract":
/// runtime player packages.
int rtpCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);
int packageCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);

/// Shared by the subcommands.
void print(std::FILE* stream, const QString& text);
/// The whole of the file at `path`; false, with the reason printed to
/// `err`, when it cannot be read.
bool readInputFile(const QString& path, QByteArray* data, std::FILE* err);
/// `object` as indented JSON.
void printJson(std::FILE* stream, const QJsonObject& object);
/// A colour as "#rrggbb", or as its hexadecimal value when it is not a
/// plain colour.
QString colourText(ColorRef colour);

}  // namespace tool
