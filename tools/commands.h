#pragma once

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

/// Shared by the subcommands.
void print(std::FILE* stream, const QString& text);

}  // namespace tool
