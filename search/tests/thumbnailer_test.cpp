#include "search/thumbnailer.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "search/thumbnailcache.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace search;

namespace {

/// A picture whose four quarters differ, so turns and mirrors show.
QImage quarters(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
    return image;
}

bool savePicture(const QString& path, const QImage& image, int format) {
    imaging::ImageHandle handle;
    return imaging::handleFromQImage(image, &handle) == imaging::kSuccess &&
           imaging::saveFile(path, handle, format, 24) == imaging::kSuccess;
}

QByteArray uriOf(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
}

QString md5Name(const QString& path) {
    return QString::fromLatin1(
               QCryptographicHash::hash(uriOf(path), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QString failEntryOf(const QString& root, const QString& path) {
    const QStringList versions =
        QDir(root + QStringLiteral("/fail")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return versions.size() == 1
               ? QStringLiteral("%1/fail/%2/%3").arg(root, versions.first(), md5Name(path))
               : QString();
}

void setModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

bool isRed(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

class ThumbnailCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_files.isValid());
        ASSERT_TRUE(m_cache.isValid());
        m_root = m_cache.filePath(QStringLiteral("thumbnails"));
    }
    QString file(const QString& name) const { return m_files.filePath(name); }

    QTemporaryDir m_files;
    QTemporaryDir m_cache;
    QString m_root;
};

TEST_F(ThumbnailCacheTest, StoresPrivatePngsWithTheirTextAndServesThemAgain) {
    const QString photo = file(QStringLiteral("photo one.jpg"));
    ASSERT_TRUE(savePicture(photo, quarters(400, 300), imaging::format::kJpeg));

    bool fromCache = true;
    const QImage made = makeThumbnail(photo, 128, m_root, &fromCache);
    ASSERT_FALSE(made.isNull());
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(made.size(), QSize(128, 96));

    const QString stored = m_root + QStringLiteral("/normal/") + md5Name(photo);
    ASSERT_TRUE(QFileInfo::exists(stored));
    // Owner, group and others (not the "user" bits, which repeat one of them).
    const auto modeOf = [](const QString& path) { return QFileInfo(path).permissions() & 0x7077; };
    EXPECT_EQ(modeOf(stored), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(modeOf(m_root), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(modeOf(m_root + QStringLiteral("/normal")),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(QDir(m_root + QStringLiteral("/normal")).entryList(QDir::Files).size(), 1)
        << "no temporary file is left beside the thumbnail";

    QImageReader reader(stored, "png");
    const QImage png = reader.read();
    EXPECT_EQ(png.size(), QSize(128, 96));
    EXPECT_EQ(png.text(QStringLiteral("Thumb::URI")).toLatin1(), uriOf(photo));
    EXPECT_TRUE(png.text(QStringLiteral("Thumb::URI")).contains(QStringLiteral("photo%20one.jpg")));
    EXPECT_EQ(png.text(QStringLiteral("Thumb::MTime")).toLongLong(),
              QFileInfo(photo).lastModified().toSecsSinceEpoch());
    EXPECT_EQ(png.text(QStringLiteral("Thumb::Size")).toLongLong(), QFileInfo(photo).size());
    EXPECT_EQ(png.text(QStringLiteral("Thumb::Image::Width")), QStringLiteral("400"));
    EXPECT_EQ(png.text(QStringLiteral("Thumb::Image::Height")), QStringLiteral("300"));
    EXPECT_TRUE(png.text(QStringLiteral("Software")).startsWith(QStringLiteral("Pixoria")));
    // Plain tEXt chunks, which every reader of the cache understands.
    QFile raw(stored);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_TRUE(bytes.contains(QByteArray("tEXtThumb::URI\0", 15) + uriOf(photo)));
    EXPECT_TRUE(bytes.contains(QByteArray("tEXtThumb::MTime\0", 17)));

    const QImage again = makeThumbnail(photo, 128, m_root, &fromCache);
    EXPECT_TRUE(fromCache);
    EXPECT_EQ(again, made);

    // Smaller requests scale the stored thumbnail; larger ones use "large".
    const QImage small = makeThumbnail(photo, 64, m_root, &fromCache);
    EXPECT_TRUE(fromCache);
    EXPECT_EQ(small.size(), QSize(64, 48));
    const QImage large = makeThumbnail(photo, 200, m_root, &fromCache);
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(large.size(), QSize(200, 150));
    EXPECT_EQ(QImage(m_root + QStringLiteral("/large/") + md5Name(photo)).size(), QSize(256, 192));
    // Above the largest stored size the thumbnail is made from the file.
    EXPECT_EQ(makeThumbnail(photo, 300, m_root, &fromCache).size(), QSize(300, 225));
    EXPECT_FALSE(fromCache);
}

TEST_F(ThumbnailCacheTest, StaleOrForeignEntriesAreMadeAgain) {
    const QString photo = file(QStringLiteral("a.png"));
    const QString other = file(QStringLiteral("b.png"));
    QImage red(60, 40, QImage::Format_RGB888);
    red.fill(Qt::red);
    ASSERT_TRUE(savePicture(photo, red, imaging::format::kPng));
    ASSERT_TRUE(savePicture(other, quarters(60, 40), imaging::format::kPng));
    const QDateTime then = QDateTime::currentDateTime().addSecs(-3600);
    setModified(photo, then);
    bool fromCache = false;
    ASSERT_FALSE(makeThumbnail(photo, 128, m_root).isNull());

    // New content under an older modification time: the time tells, not the
    // content, as the freedesktop cache rules have it.
    QImage blue(60, 40, QImage::Format_RGB888);
    blue.fill(Qt::blue);
    ASSERT_TRUE(savePicture(photo, blue, imaging::format::kPng));
    setModified(photo, then);
    EXPECT_TRUE(isRed(makeThumbnail(photo, 128, m_root, &fromCache).pixel(5, 5)));
    EXPECT_TRUE(fromCache);
    setModified(photo, then.addSecs(1));
    const QImage remade = makeThumbnail(photo, 128, m_root, &fromCache);
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(qBlue(remade.pixel(5, 5)), 255);
    EXPECT_EQ(QImage(m_root + QStringLiteral("/normal/") + md5Name(photo))
                  .text(QStringLiteral("Thumb::MTime"))
                  .toLongLong(),
              then.addSecs(1).toSecsSinceEpoch());

    // An entry stored under another file's name (its URI differs) is not used.
    const QString otherEntry = m_root + QStringLiteral("/normal/") + md5Name(other);
    ASSERT_TRUE(QFile::copy(m_root + QStringLiteral("/normal/") + md5Name(photo), otherEntry));
    setModified(other, then.addSecs(1));
    const QImage otherThumb = makeThumbnail(other, 128, m_root, &fromCache);
    EXPECT_FALSE(fromCache);
    EXPECT_TRUE(isRed(otherThumb.pixel(2, 2)));

    // A damaged entry is remade, not trusted.
    QFile damaged(otherEntry);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.resize(damaged.size() / 2);
    damaged.close();
    EXPECT_TRUE(isRed(makeThumbnail(other, 128, m_root, &fromCache).pixel(2, 2)));
    EXPECT_FALSE(fromCache);
}

TEST_F(ThumbnailCacheTest, UnreadableFilesAreRecordedAndNotDecodedAgain) {
    const QString broken = file(QStringLiteral("broken.jpg"));
    {
        QFile out(broken);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("this is no picture at all");
    }
    const QDateTime then = QDateTime::currentDateTime().addSecs(-600);
    setModified(broken, then);
    bool fromCache = true;
    EXPECT_TRUE(makeThumbnail(broken, 96, m_root, &fromCache).isNull());
    EXPECT_FALSE(fromCache);
    const QString entry = failEntryOf(m_root, broken);
    ASSERT_FALSE(entry.isEmpty());
    EXPECT_TRUE(
        QFileInfo(QFileInfo(entry).path()).fileName().startsWith(QStringLiteral("pixoria-")));
    ASSERT_TRUE(QFileInfo::exists(entry));
    EXPECT_EQ(QImage(entry).text(QStringLiteral("Thumb::URI")).toLatin1(), uriOf(broken));

    // A good picture under the same modification time still fails at once:
    // the fail entry answers without the file being decoded.
    ASSERT_TRUE(savePicture(broken, quarters(40, 30), imaging::format::kJpeg));
    setModified(broken, then);
    EXPECT_TRUE(makeThumbnail(broken, 96, m_root, &fromCache).isNull());
    EXPECT_TRUE(fromCache);
    // Once the file changes it is tried again.
    setModified(broken, then.addSecs(5));
    EXPECT_EQ(makeThumbnail(broken, 96, m_root, &fromCache).size(), QSize(40, 30));
    EXPECT_FALSE(fromCache);

    // Missing files and files that cannot be opened may come back: no entry.
    const QString missing = file(QStringLiteral("missing.jpg"));
    EXPECT_TRUE(makeThumbnail(missing, 96, m_root).isNull());
    EXPECT_FALSE(QFileInfo::exists(failEntryOf(m_root, missing)));
    EXPECT_TRUE(makeThumbnail(m_files.path(), 96, m_root).isNull());
    EXPECT_TRUE(makeThumbnail(broken, 0, m_root).isNull());
}

TEST_F(ThumbnailCacheTest, PhotosComeUprightAndPicturesAreNeverEnlarged) {
    // Stored 400 by 200 with orientation 6: upright it is 200 by 400 and the
    // stored top-left (red) quarter is at the top right.
    imaging::ImageHandle handle;
    ASSERT_EQ(imaging::handleFromQImage(quarters(400, 200), &handle), imaging::kSuccess);
    QByteArray jpeg;
    ASSERT_EQ(imaging::saveMemory(&jpeg, handle, imaging::format::kExifJpeg, 24),
              imaging::kSuccess);
    const qsizetype orientation = jpeg.indexOf(QByteArray("\x12\x01\x03\x00\x01\x00\x00\x00", 8));
    ASSERT_GT(orientation, 0);
    jpeg[orientation + 8] = 6;
    const QString turned = file(QStringLiteral("turned.jpg"));
    QFile out(turned);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(jpeg);
    out.close();
    for (const QString& root : {m_root, QString()}) {
        for (int pass = 0; pass < 2; ++pass) {
            const QImage thumb = makeThumbnail(turned, 128, root);
            ASSERT_EQ(thumb.size(), QSize(64, 128));
            EXPECT_TRUE(isRed(thumb.pixel(48, 16)));
            EXPECT_FALSE(isRed(thumb.pixel(16, 16)));
        }
    }

    const QString small = file(QStringLiteral("small.png"));
    const QString thin = file(QStringLiteral("thin.png"));
    ASSERT_TRUE(savePicture(small, quarters(50, 30), imaging::format::kPng));
    ASSERT_TRUE(savePicture(thin, quarters(1000, 2), imaging::format::kPng));
    for (int size : {128, 256, 400}) {
        EXPECT_EQ(makeThumbnail(small, size, m_root).size(), QSize(50, 30)) << size;
        EXPECT_EQ(makeThumbnail(small, size, m_root).size(), QSize(50, 30)) << size;
    }
    EXPECT_EQ(makeThumbnail(thin, 128, m_root).size(), QSize(128, 1));
    EXPECT_EQ(makeThumbnail(thin, 100, m_root).size(), QSize(100, 1));
}

TEST_F(ThumbnailCacheTest, FilesInsideTheCacheAreRefusedAndABrokenCacheIsBypassed) {
    const QString photo = file(QStringLiteral("p.png"));
    ASSERT_TRUE(savePicture(photo, quarters(300, 200), imaging::format::kPng));
    ASSERT_FALSE(makeThumbnail(photo, 128, m_root).isNull());
    const QString entry = m_root + QStringLiteral("/normal/") + md5Name(photo);
    EXPECT_TRUE(makeThumbnail(entry, 128, m_root).isNull());
    EXPECT_EQ(QDir(m_root + QStringLiteral("/normal")).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(QDir(m_root + QStringLiteral("/fail")).exists());

    // A cache that cannot be written still gives thumbnails.
    const QString blocked = file(QStringLiteral("blocked"));
    QFile(blocked).open(QIODevice::WriteOnly);
    EXPECT_EQ(makeThumbnail(photo, 90, blocked).size(), QSize(90, 60));
}

/// Records what a thumbnailer reports, in order.
struct Results {
    explicit Results(Thumbnailer& thumbnailer) {
        QObject::connect(&thumbnailer, &Thumbnailer::thumbnailReady, &thumbnailer,
                         [this](const QString& path, const QImage& image) {
                             order << QFileInfo(path).fileName();
                             images.insert(QFileInfo(path).fileName(), image);
                         });
        QObject::connect(&thumbnailer, &Thumbnailer::thumbnailFailed, &thumbnailer,
                         [this](const QString& path) {
                             order << QFileInfo(path).fileName();
                             failed << QFileInfo(path).fileName();
                         });
    }
    bool waitFor(int count, int milliseconds = 30000) {
        QElapsedTimer timer;
        timer.start();
        while (order.size() < count && timer.elapsed() < milliseconds) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
        return order.size() >= count;
    }

    QStringList order;
    QStringList failed;
    QHash<QString, QImage> images;
};

class ThumbnailerTest : public ThumbnailCacheTest {
protected:
    void SetUp() override {
        ThumbnailCacheTest::SetUp();
        for (int i = 0; i < 6; ++i) {
            ASSERT_TRUE(savePicture(file(QStringLiteral("%1.jpg").arg(i)), quarters(320, 240),
                                    imaging::format::kJpeg));
        }
    }
};

TEST_F(ThumbnailerTest, ReportsThroughItsSignalsAndCachesOnTheWorkers) {
    qputenv("XDG_CACHE_HOME", m_cache.path().toLocal8Bit());
    Thumbnailer thumbnailer(nullptr, 2);
    EXPECT_EQ(thumbnailer.threadCount(), 2);
    EXPECT_EQ(QDir(thumbnailer.cacheRoot()), QDir(m_root));
    QFile(file(QStringLiteral("bad.jpg"))).open(QIODevice::WriteOnly);
    Results results(thumbnailer);
    for (int i = 0; i < 3; ++i) {
        thumbnailer.request(file(QStringLiteral("%1.jpg").arg(i)), 100, 0);
    }
    thumbnailer.request(file(QStringLiteral("bad.jpg")), 100, 0);
    ASSERT_TRUE(results.waitFor(4));
    EXPECT_EQ(thumbnailer.pendingCount(), 0);
    EXPECT_EQ(results.failed, QStringList{QStringLiteral("bad.jpg")});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(results.images.value(QStringLiteral("%1.jpg").arg(i)).size(), QSize(100, 75));
    }
    EXPECT_EQ(QDir(m_root + QStringLiteral("/normal")).entryList(QDir::Files).size(), 3);
    EXPECT_FALSE(failEntryOf(m_root, file(QStringLiteral("bad.jpg"))).isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(results.order.size(), 4) << "each request reports once";
}

TEST_F(ThumbnailerTest, ServesHighestPriorityThenLatestAndDropsCancelled) {
    Thumbnailer thumbnailer(nullptr, 1);
    thumbnailer.setCacheRoot(QString());
    Results results(thumbnailer);
    thumbnailer.setPaused(true);
    const auto ask = [&](int i, int priority) {
        thumbnailer.request(file(QStringLiteral("%1.jpg").arg(i)), 64, priority);
    };
    ask(0, 1);
    ask(1, 5);
    ask(2, 1);
    ask(3, 5);
    ask(4, 0);
    ask(5, 3);
    ask(0, 9);  // scrolled into view: only its priority changes
    thumbnailer.request(file(QStringLiteral("4.jpg")), 48, 0);  // the window was zoomed
    thumbnailer.cancel(file(QStringLiteral("5.jpg")));
    thumbnailer.cancel(file(QStringLiteral("nothing queued.jpg")));
    EXPECT_EQ(thumbnailer.pendingCount(), 5);
    thumbnailer.setPaused(false);
    ASSERT_TRUE(results.waitFor(5));
    EXPECT_EQ(results.order, QStringList({QStringLiteral("0.jpg"), QStringLiteral("3.jpg"),
                                          QStringLiteral("1.jpg"), QStringLiteral("2.jpg"),
                                          QStringLiteral("4.jpg")}));
    EXPECT_EQ(results.images.value(QStringLiteral("0.jpg")).size(), QSize(64, 48));
    EXPECT_EQ(results.images.value(QStringLiteral("4.jpg")).size(), QSize(48, 36));

    results.order.clear();
    thumbnailer.setPaused(true);
    for (int i = 0; i < 6; ++i) {
        ask(i, i);
    }
    thumbnailer.cancelAll();
    EXPECT_EQ(thumbnailer.pendingCount(), 0);
    thumbnailer.setPaused(false);
    ask(2, 0);
    ask(2, 0);  // asked twice, made once
    ASSERT_TRUE(results.waitFor(1));
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(results.order, QStringList{QStringLiteral("2.jpg")});
}

TEST_F(ThumbnailerTest, GoingAwayWithWorkQueuedNeitherHangsNorReports) {
    const QString big = file(QStringLiteral("big.png"));
    ASSERT_TRUE(savePicture(big, quarters(2000, 1500), imaging::format::kPng));
    QStringList paths;
    for (int i = 0; i < 40; ++i) {
        paths << file(QStringLiteral("big%1.png").arg(i));
        ASSERT_TRUE(QFile::copy(big, paths.last()));
    }
    int reported = 0;
    QElapsedTimer timer;
    timer.start();
    {
        auto thumbnailer = std::make_unique<Thumbnailer>(nullptr, 2);
        thumbnailer->setCacheRoot(m_root);
        QObject::connect(thumbnailer.get(), &Thumbnailer::thumbnailReady,
                         [&reported] { ++reported; });
        for (int i = 0; i < paths.size(); ++i) {
            thumbnailer->request(paths[i], i % 2 ? 128 : 300, i);
        }
        QThread::msleep(20);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(reported, 0);
    EXPECT_LT(timer.elapsed(), 10000);
}

}  // namespace
