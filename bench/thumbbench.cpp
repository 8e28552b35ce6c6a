// thumb-bench: the thumbnailer's figures, measured beside a reference program
// on the same files in the same run.
//
//   thumb-bench [--count N] [--runs N] [--work DIR]
//
// Makes N (1000) twelve-megapixel photographs once in the work folder (they
// are kept for later runs), then reports:
//   1. cold cache: all N thumbnails of 128 pixels made through a Thumbnailer
//      (one worker per core) into an empty cache, and the time until the
//      first 40 (a screenful, asked for at the highest priority along with
//      the rest) are in; against "vipsthumbnail --size 128x128" writing PNGs
//      of the same files in one process;
//   2. warm cache: the same again with the cache filled.
// Times are medians of the runs; vipsthumbnail is timed as a whole process.
#include "bench/benchsupport.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "search/thumbnailer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace bench;

namespace {

constexpr int kScreenful = 40;
constexpr int kThumbnailSize = 128;

struct Pass {
    double allMs = 0;
    double screenfulMs = 0;
    int failed = 0;
};

/// Asks for every photograph as a thumbnail window does: all of them in the
/// background in their order, then the screenful at the top urgently.
Pass runThumbnailer(const QStringList& photos, const QString& cacheRoot) {
    search::Thumbnailer thumbnailer;
    thumbnailer.setCacheRoot(cacheRoot);
    QSet<QString> screenful(photos.cbegin(),
                            photos.cbegin() + std::min<qsizetype>(kScreenful, photos.size()));
    Pass pass;
    int done = 0;
    int screenfulDone = 0;
    QElapsedTimer timer;
    QEventLoop loop;
    const auto arrived = [&](const QString& path) {
        if (screenful.contains(path) && ++screenfulDone == screenful.size()) {
            pass.screenfulMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
        if (++done == photos.size()) {
            pass.allMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    };
    QObject::connect(&thumbnailer, &search::Thumbnailer::thumbnailReady, &loop,
                     [&](const QString& path, const QImage&) { arrived(path); });
    QObject::connect(&thumbnailer, &search::Thumbnailer::thumbnailFailed, &loop,
                     [&](const QString& path) {
                         ++pass.failed;
                         arrived(path);
                     });
    timer.start();
    for (int i = 0; i < photos.size(); ++i) {
        thumbnailer.request(photos[i], kThumbnailSize, -i);
    }
    for (const QString& path : screenful) {
        thumbnailer.request(path, kThumbnailSize, 1);
    }
    loop.exec();
    return pass;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options =
        parseOptions({QDir::temp().filePath(QStringLiteral("pixoria-thumb-bench")), 3, 1000});
    const QString work = options.work;
    const int runs = options.runs;
    const int count = options.count;
    const QString vipsthumbnail = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vipsthumbnail.isEmpty()) {
        std::fprintf(stderr, "thumb-bench: needs vipsthumbnail (libvips-tools)\n");
        return 1;
    }
    const QDir dir(work);
    QDir().mkpath(dir.filePath(QStringLiteral("photos")));
    const QString vipsOut = dir.filePath(QStringLiteral("vips"));
    const QString cacheRoot = dir.filePath(QStringLiteral("cache/thumbnails"));

    // The photographs, made once on every core.
    QStringList photos;
    for (int i = 0; i < count; ++i) {
        photos << dir.filePath(
            QStringLiteral("photos/photo-%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    }
    std::printf("Photographs in %s ...\n", qPrintable(dir.filePath(QStringLiteral("photos"))));
    std::fflush(stdout);
    makePhotographs(photos);
    qint64 photoBytes = 0;
    for (const QString& photo : photos) {
        photoBytes += QFileInfo(photo).size();
    }
    std::printf("machine: %s\n", qPrintable(machineDescription()));
    std::printf("reference: vipsthumbnail (%s)\n", qPrintable(vipsVersion(vipsthumbnail)));
    std::printf(
        "%d photographs of 4000x3000, %.1f MB of JPEG; thumbnails of %d pixels; "
        "runs per figure: %d (median)\n\n",
        count, photoBytes / 1e6, kThumbnailSize, runs);

    // 1. Cold cache against vipsthumbnail.
    std::vector<double> coldAll, coldScreenful;
    int failed = 0;
    for (int run = 0; run < runs; ++run) {
        QDir(dir.filePath(QStringLiteral("cache"))).removeRecursively();
        const Pass pass = runThumbnailer(photos, cacheRoot);
        coldAll.push_back(pass.allMs);
        coldScreenful.push_back(pass.screenfulMs);
        failed += pass.failed;
    }
    const int stored =
        static_cast<int>(QDir(cacheRoot + QStringLiteral("/normal")).entryList(QDir::Files).size());
    QStringList vipsArguments = photos;
    vipsArguments << QStringLiteral("--size") << QStringLiteral("%1x%1").arg(kThumbnailSize)
                  << QStringLiteral("-o") << vipsOut + QStringLiteral("/%s.png");
    bool vipsRan = true;
    const double theirs = timeMs(runs, [&] {
        QDir(vipsOut).removeRecursively();
        QDir().mkpath(vipsOut);
        vipsRan = runProgram(vipsthumbnail, vipsArguments) && vipsRan;
    });
    if (!vipsRan || failed != 0 || stored != count) {
        std::fprintf(stderr,
                     "thumb-bench: thumbnails failed (ours: %d failed, %d stored of %d; "
                     "vips %s)\n",
                     failed, stored, count, vipsRan ? "ran" : "failed");
        return 1;
    }
    const double cold = median(coldAll);
    std::printf("%-44s %9.1f ms  %-14s %9.1f ms  ratio %.2f  (goal: at most 0.6)\n",
                qPrintable(QStringLiteral("cold cache: %1 thumbnails").arg(count)), cold,
                "vipsthumbnail", theirs, cold / theirs);
    std::printf("%-44s %9.1f ms\n",
                qPrintable(QStringLiteral("cold cache: first screenful (%1)").arg(kScreenful)),
                median(coldScreenful));

    // 2. Warm cache: the same requests, every thumbnail already stored.
    std::vector<double> warmAll, warmScreenful;
    for (int run = 0; run < runs; ++run) {
        const Pass pass = runThumbnailer(photos, cacheRoot);
        warmAll.push_back(pass.allMs);
        warmScreenful.push_back(pass.screenfulMs);
        failed += pass.failed;
    }
    const double warm = median(warmAll);
    std::printf("%-44s %9.1f ms  %-14s %9.1f ms  speed-up %.1f  (goal: at least 10)\n",
                qPrintable(QStringLiteral("warm cache: %1 thumbnails").arg(count)), warm,
                "cold cache", cold, cold / warm);
    std::printf("%-44s %9.1f ms\n",
                qPrintable(QStringLiteral("warm cache: first screenful (%1)").arg(kScreenful)),
                median(warmScreenful));
    return failed == 0 ? 0 : 1;
}
