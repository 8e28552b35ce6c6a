#include "album/albumfile.h"
#include "tools/tests/toolrun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using tooltesting::runTool;
using tooltesting::ToolRun;

TEST(PixoriaToolAlb, DumpsEveryFieldAndRefusesDamagedAlbums) {
    QTemporaryDir dir;
    AlbumModel album;
    album.setName(QStringLiteral("Trip"));
    album.setPhotos({{QStringLiteral("c:\\a.bmp"), {}, QStringLiteral("Sea")},
                     {QStringLiteral("/b.png"), QStringLiteral("Dunes & sky"), {}}});
    ASSERT_TRUE(saveAlbum(album, dir.path()));
    const QString path = album.filePath(dir.path());

    const ToolRun dumped = runTool({"alb", "dump", path});
    ASSERT_EQ(dumped.code, 0) << dumped.err.constData();
    EXPECT_TRUE(dumped.out.contains("\n    \"name\": \"Trip\""));
    const QJsonObject root = QJsonDocument::fromJson(dumped.out).object();
    EXPECT_EQ(root.value("signature").toString(), QStringLiteral("starbloom photo album"));
    EXPECT_EQ(root.value("count").toInt(), 2);
    EXPECT_EQ(root.value("size").toInt(), writeAlbum(album).size());
    EXPECT_FALSE(root.value("albumDrive").toString().isEmpty());
    const QJsonArray photos = root.value("photos").toArray();
    ASSERT_EQ(photos.size(), 2);
    EXPECT_EQ(photos[0].toObject().value("path").toString(), QStringLiteral("c:\\a.bmp"));
    EXPECT_EQ(photos[0].toObject().value("title").toString(), QStringLiteral("Sea"));
    EXPECT_EQ(photos[1].toObject().value("description").toString(), QStringLiteral("Dunes & sky"));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 1));
    file.close();
    const ToolRun damaged = runTool({"alb", "dump", path});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_TRUE(damaged.err.contains("Not a valid photo album: " + path.toUtf8()));
    EXPECT_TRUE(damaged.out.isEmpty());

    EXPECT_EQ(runTool({"alb", "dump", dir.filePath("missing.alb")}).code, 1);
    EXPECT_EQ(runTool({"alb", "dump"}).code, 2);
    EXPECT_EQ(runTool({"alb", "show", path}).code, 2);
    EXPECT_TRUE(runTool({"--help"}).out.contains("alb dump FILE"));
}

}  // namespace
