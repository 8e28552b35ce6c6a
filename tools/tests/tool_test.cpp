#include "tools/commands.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

/// Runs the tool in-process and collects what it prints.
struct ToolRun {
    int code = 0;
    QByteArray out;
    QByteArray err;
};

QByteArray readStream(std::FILE* stream) {
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

ToolRun runTool(const QStringList& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ToolRun run;
    run.code = tool::run(arguments, out, err);
    run.out = readStream(out);
    run.err = readStream(err);
    return run;
}

TEST(PixoriaTool, HelpListsTheCommands) {
    const ToolRun run = runTool({QStringLiteral("--help")});
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.out.contains("settings-file dump FILE"));
    EXPECT_EQ(runTool({}).code, 2);
    EXPECT_EQ(runTool({QStringLiteral("frobnicate")}).code, 2);
}

TEST(PixoriaTool, SettingsFileMadeAndDumped) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pzset.pzs"));
    const ToolRun made =
        runTool({"settings-file", "make", path, "--face", "Sans!", "--height", "-20", "--weight",
                 "700", "--italic", "--background-colour", "#336699"});
    ASSERT_EQ(made.code, 0) << made.err.constData();
    EXPECT_EQ(QFileInfo(path).size(), 118);

    const ToolRun dumped = runTool({"settings-file", "dump", path});
    ASSERT_EQ(dumped.code, 0) << dumped.err.constData();
    const QJsonObject root = QJsonDocument::fromJson(dumped.out).object();
    EXPECT_EQ(root.value("size").toInt(), 118);
    const QJsonObject font = root.value("font").toObject();
    EXPECT_EQ(font.value("faceName").toString(), QStringLiteral("Sans!"));
    EXPECT_EQ(font.value("height").toInt(), -20);
    EXPECT_EQ(font.value("weight").toInt(), 700);
    EXPECT_EQ(font.value("italic").toInt(), 1);
    EXPECT_EQ(root.value("backgroundColour").toString(), QStringLiteral("#336699"));
    EXPECT_EQ(root.value("fillColour").toString(), QStringLiteral("#ffffff"));
}

TEST(PixoriaTool, SettingsFileErrorsAreReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.pzs"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02\x03");
    file.close();
    const ToolRun run = runTool({"settings-file", "dump", path});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains("past the end")) << run.err.constData();
    EXPECT_EQ(runTool({"settings-file", "make", path}).code, 2);
    EXPECT_EQ(runTool({"settings-file", "make", path, "--face", "A", "--fill-colour", "nope"}).code,
              2);
}

}  // namespace
