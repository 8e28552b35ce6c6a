#pragma once

#include "tools/commands.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

/// Runs pixoria-tool in-process and collects what it prints.
namespace tooltesting {

struct ToolRun {
    int code = 0;
    QByteArray out;
    QByteArray err;

    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

inline QByteArray drain(std::FILE* stream) {
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        bytes.append(buffer, static_cast<qsizetype>(n));
    }
    std::fclose(stream);
    return bytes;
}

inline ToolRun runTool(const QStringList& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ToolRun run;
    run.code = tool::run(arguments, out, err);
    run.out = drain(out);
    run.err = drain(err);
    return run;
}

}  // namespace tooltesting
