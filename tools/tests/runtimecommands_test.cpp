#include "runtime/packageformat.h"
#include "runtime/projectfile.h"
#include "runtime/tests/runtimetesting.h"
#include "tools/tests/toolrun.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using namespace runtime;
using namespace runtimetesting;

namespace {

using tooltesting::runTool;
using tooltesting::ToolRun;

class RuntimeCommands : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QTemporaryDir config;
    QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");

    void SetUp() override { qputenv("XDG_CONFIG_HOME", config.path().toUtf8()); }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", savedConfig); }

    QString path(const QString& name) const { return dir.filePath(name); }

    QString project(bool encrypt) {
        PlayerProject project;
        project.options.encrypt = encrypt;
        project.options.descriptions = true;
        project.options.soundMode = kVariousSounds;
        const QString sound = writeBytes(path("ding.wav"), pattern(333));
        project.images = {
            {writePicture(path("big.jpg"), 1600, 1200), {}, sound, QStringLiteral("first")},
            {writePicture(path("wide.png"), 600, 200, imaging::format::kPng), {}, sound, {}},
        };
        const QString file = path(encrypt ? "locked.rtp" : "open.rtp");
        EXPECT_TRUE(saveProject(file, project));
        return file;
    }
};

TEST_F(RuntimeCommands, ProjectDumpShowsEveryField) {
    PlayerProject project;
    project.options.soundMode = kOneSound;
    project.options.fullScreen = true;
    project.options.transitions = true;
    project.images = {{"/p/a.jpg", "/p/a.jpg", "/s/a.wav", "Dawn"}};
    ASSERT_TRUE(saveProject(path("a.rtp"), project));
    const ToolRun run = runTool({"rtp", "dump", path("a.rtp")});
    ASSERT_EQ(run.code, 0) << run.err.constData();
    const QJsonObject json = run.json();
    EXPECT_EQ(json["soundModeField"].toInt(), 130);
    EXPECT_EQ(json["soundMode"].toInt(), 2);
    EXPECT_EQ(json["countField"].toInt(), 10001);
    EXPECT_TRUE(json["fullScreen"].toBool());
    const QJsonObject image = json["images"].toArray()[0].toObject();
    EXPECT_EQ(image["path"].toString(), "/p/a.jpg");
    EXPECT_EQ(image["sound"].toString(), "/s/a.wav");
    EXPECT_EQ(image["description"].toString(), "Dawn");

    writeBytes(path("other.rtp"), "starbloom slide file");
    const ToolRun refused = runTool({"rtp", "dump", path("other.rtp")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("Not a valid player project"));
    EXPECT_EQ(runTool({"rtp"}).code, 2);
    EXPECT_EQ(runTool({"rtp", "show", path("a.rtp")}).code, 2);
}

TEST_F(RuntimeCommands, BuildDumpAndExtract) {
    const QString stub = writeBytes(path("zs1.dll"), pattern(kAssumedStubLength));
    const QString player = path("player.exe");
    const ToolRun built = runTool({"package", "build", project(false), player, "--stub", stub});
    ASSERT_EQ(built.code, 0) << built.err.constData();

    const ToolRun dumped = runTool({"package", "dump", player});
    ASSERT_EQ(dumped.code, 0) << dumped.err.constData();
    const QJsonObject json = dumped.json();
    EXPECT_EQ(json["stubLength"].toInt(), kAssumedStubLength);
    EXPECT_EQ(json["keyBlocks"].toString(), "zeros");
    const QJsonArray images = json["images"].toArray();
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images[0].toObject()["width"].toInt(), 507);
    EXPECT_EQ(images[0].toObject()["height"].toInt(), 380);
    EXPECT_EQ(images[1].toObject()["width"].toInt(), 550);
    EXPECT_EQ(images[1].toObject()["height"].toInt(), 183);
    EXPECT_EQ(images[0].toObject()["sound"].toObject()["length"].toInt(), 333);
    EXPECT_EQ(images[1].toObject()["sound"].toObject()["sameAsImage"].toInt(), 1);
    EXPECT_EQ(images[0].toObject()["description"].toString(), "first");

    const QString out = path("extracted");
    const ToolRun extracted = runTool({"package", "extract", player, out});
    ASSERT_EQ(extracted.code, 0) << extracted.err.constData();
    EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{"1", "2", "zss1.wav", "zss2.wav"}));
    EXPECT_EQ(readAll(QDir(out).filePath("zss2.wav")), pattern(333));
}

TEST_F(RuntimeCommands, EncryptedPackagesNeedThePassword) {
    const QString stub = writeBytes(path("zs1.dll"), pattern(kAssumedStubLength));
    const QString player = path("locked.exe");
    const QString locked = project(true);
    EXPECT_EQ(runTool({"package", "build", locked, player, "--stub", stub}).code, 2);
    EXPECT_FALSE(QFileInfo::exists(player));
    ASSERT_EQ(
        runTool({"package", "build", locked, player, "--stub", stub, "--password", "opensesame"}).code,
        0);

    // "sendpass" defaults to 1: the key travels in the key blocks.
    const ToolRun header = runTool({"package", "dump", player});
    ASSERT_EQ(header.code, 0);
    EXPECT_EQ(header.json()["keyBlocks"].toString(), "key");
    EXPECT_TRUE(header.json().contains("content"));
    EXPECT_FALSE(header.json()["images"].toArray()[0].toObject().contains("width"));

    const ToolRun wrong = runTool({"package", "dump", player, "--password", "open sesame"});
    EXPECT_EQ(wrong.code, 1);
    EXPECT_TRUE(wrong.err.contains("Aborting: Incorrect Password"));
    const ToolRun right = runTool({"package", "dump", player, "--password", "opensesame"});
    ASSERT_EQ(right.code, 0);
    EXPECT_EQ(right.json()["images"].toArray()[0].toObject()["width"].toInt(), 507);
    EXPECT_EQ(runTool({"package", "extract", player, path("x")}).code, 2);
}

TEST_F(RuntimeCommands, FailedBuildsAndBadCommandLines) {
    const QString open = project(false);
    // No stub where the option points: the work fails, nothing is written.
    const ToolRun failed =
        runTool({"package", "build", open, path("p.exe"), "--stub", path("none.dll")});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains("none.dll"));
    EXPECT_FALSE(QFileInfo::exists(path("p.exe")));

    writeBytes(path("junk.exe"), pattern(5000));
    const ToolRun junk = runTool({"package", "dump", path("junk.exe")});
    EXPECT_EQ(junk.code, 1);
    EXPECT_TRUE(junk.err.contains("Aborting: Not a valid Runtime File"));

    EXPECT_EQ(runTool({"package"}).code, 2);
    EXPECT_EQ(runTool({"package", "build", open}).code, 2);
    EXPECT_EQ(runTool({"package", "dump", path("junk.exe"), "--colour", "red"}).code, 2);
    EXPECT_EQ(runTool({"package", "dump", path("junk.exe"), "--password", "x"}).code, 2);
}

}  // namespace
