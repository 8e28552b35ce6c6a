#include "app/openfiles.h"
#include "app/recentfiles.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(OpenFilesList, RemovingMovesTheLastEntryIntoThePlace) {
    OpenFilesList list;
    for (const char* path : {"/a.bmp", "/b.bmp", "/c.bmp", "/d.bmp"}) {
        ASSERT_TRUE(list.add(QLatin1String(path)));
    }
    EXPECT_TRUE(list.remove(QStringLiteral("/b.bmp")));
    EXPECT_EQ(list.paths(), (QStringList{"/a.bmp", "/d.bmp", "/c.bmp"}));
    EXPECT_FALSE(list.remove(QStringLiteral("/b.bmp")));
    EXPECT_TRUE(list.replace(QStringLiteral("/d.bmp"), QStringLiteral("/e.png")));
    EXPECT_EQ(list.paths(), (QStringList{"/a.bmp", "/e.png", "/c.bmp"}));
}

TEST(OpenFilesList, UntitledDocumentsDoNotCountAsFiles) {
    OpenFilesList list;
    list.add(QStringLiteral("/a.bmp"));
    list.add(QStringLiteral("Untitled1"));
    list.addUntitled();
    EXPECT_EQ(list.withFileCount(), 1);
    list.removeUntitled();
    list.removeUntitled();
    EXPECT_EQ(list.untitledCount(), 0);
}

TEST(OpenFilesList, CapacitiesHold) {
    OpenFilesList list;
    for (int i = 0; i < OpenFilesList::kCapacity; ++i) {
        ASSERT_TRUE(list.add(QString::number(i)));
    }
    EXPECT_FALSE(list.add(QStringLiteral("one more")));

    ImagePathList images(3);
    EXPECT_TRUE(images.append(QStringLiteral("1")));
    EXPECT_TRUE(images.append(QStringLiteral("2")));
    EXPECT_TRUE(images.append(QStringLiteral("3")));
    EXPECT_FALSE(images.append(QStringLiteral("4")));
    EXPECT_EQ(images.count(), 3);
}

TEST(RecentFileList, KeepsTheEightNewestAcrossRuns) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Pixoria.conf"));
    {
        QSettings store(path, QSettings::NativeFormat);
        RecentFileList recent(store);
        for (int i = 1; i <= 10; ++i) {
            recent.add(QStringLiteral("/p/%1.jpg").arg(i));
        }
        recent.add(QStringLiteral("/p/5.jpg"));
        EXPECT_EQ(recent.paths().size(), 8);
        EXPECT_EQ(recent.paths().first(), QStringLiteral("/p/5.jpg"));
        EXPECT_EQ(recent.paths().last(), QStringLiteral("/p/3.jpg"));
    }
    QSettings store(path, QSettings::NativeFormat);
    EXPECT_EQ(store.value(QStringLiteral("Recent File List/File1")).toString(), "/p/5.jpg");
    RecentFileList again(store);
    EXPECT_EQ(again.paths(), (QStringList{"/p/5.jpg", "/p/10.jpg", "/p/9.jpg", "/p/8.jpg",
                                          "/p/7.jpg", "/p/6.jpg", "/p/4.jpg", "/p/3.jpg"}));
}

}  // namespace
