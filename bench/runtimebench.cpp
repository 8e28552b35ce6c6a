// runtime-bench: the runtime player's figures, measured beside a reference
// program on the same files in the same run.
//
//   runtime-bench [--work DIR] [--runs N] [--count N]
//
// Makes N (100) twelve-megapixel photographs once in the work folder (they
// are kept for later runs), then reports:
//   1. preparing them for a package (550 by 380 JPEG copies at quality
//      factor 20, on every core) against "vipsthumbnail --size 550x380"
//      writing JPEGs of the same quality (90) from the same files;
//   2. writing a package of the prepared copies, and reading it back.
// Times are medians of the runs; vipsthumbnail is timed as a whole process.
#include "bench/benchsupport.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "runtime/imageprep.h"
#include "runtime/packagereader.h"
#include "runtime/packagewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

using namespace bench;
using namespace imaging;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options benchOptions =
        parseOptions({QDir::temp().filePath(QStringLiteral("pixoria-runtime-bench")), 3, 100});
    const QString work = benchOptions.work;
    const int runs = benchOptions.runs;
    const int count = std::min(benchOptions.count, runtime::kMaxImages);
    const QString vipsthumbnail = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (vipsthumbnail.isEmpty()) {
        std::fprintf(stderr, "runtime-bench: needs vipsthumbnail (libvips-tools)\n");
        return 1;
    }
    const QDir dir(work);
    QDir().mkpath(dir.filePath(QStringLiteral("photos")));
    QDir().mkpath(dir.filePath(QStringLiteral("vips")));

    // The photographs, made once on every core.
    QStringList photos;
    for (int i = 0; i < count; ++i) {
        photos << dir.filePath(
            QStringLiteral("photos/photo-%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    }
    std::printf("Photographs in %s ...\n", qPrintable(dir.filePath(QStringLiteral("photos"))));
    makePhotographs(photos);
    qint64 photoBytes = 0;
    for (const QString& photo : photos) {
        photoBytes += QFileInfo(photo).size();
    }
    std::printf("machine: %s\n", qPrintable(machineDescription()));
    std::printf("reference: vipsthumbnail (%s)\n", qPrintable(vipsVersion(vipsthumbnail)));
    std::printf("%d photographs of 4000x3000, %.1f MB of JPEG; runs per figure: %d (median)\n\n",
                count, photoBytes / 1e6, runs);

    // 1. Preparation against vipsthumbnail.
    runtime::PlayerWorkFolder folder;
    runtime::PrepareResult prepared;
    const double ours = timeMs(runs, [&] { prepared = runtime::prepareImages(photos, folder); });
    QStringList vipsArguments = photos;
    vipsArguments << QStringLiteral("--size") << QStringLiteral("550x380") << QStringLiteral("-o")
                  << dir.filePath(QStringLiteral("vips/%s.jpg[Q=90]"));
    bool vipsRan = true;
    const double theirs =
        timeMs(runs, [&] { vipsRan = runProgram(vipsthumbnail, vipsArguments) && vipsRan; });
    if (!vipsRan || prepared.preparedPaths.size() != count) {
        std::fprintf(stderr, "runtime-bench: preparation failed (ours %lld of %d, vips %s)\n",
                     static_cast<long long>(prepared.preparedPaths.size()), count,
                     vipsRan ? "ran" : "failed");
        return 1;
    }
    std::printf("%-44s %9.1f ms  %-14s %9.1f ms  ratio %.2f  (goal: at most 1.0)\n",
                qPrintable(QStringLiteral("prepare %1 photos to 550x380").arg(count)), ours,
                "vipsthumbnail", theirs, ours / theirs);

    // 2. Writing and reading a package of the prepared copies, behind a stub
    // of the usual length.
    const QString stub = dir.filePath(QStringLiteral("zs1.dll"));
    {
        QFile file(stub);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(runtime::kAssumedStubLength, '\x90'));
    }
    runtime::PlayerProject project;
    for (const QString& path : prepared.preparedPaths) {
        project.images.append({path, path, QString(), QStringLiteral("A photograph")});
    }
    project.options.descriptions = true;
    runtime::PackageWriteOptions options;
    options.stubPath = stub;
    const QString package = dir.filePath(QStringLiteral("player.exe"));
    runtime::PackageWriteResult written;
    const double write =
        timeMs(runs, [&] { written = runtime::writePackage(package, project, options); });
    if (!written.ok) {
        std::fprintf(stderr, "runtime-bench: %s\n", qPrintable(written.message));
        return 1;
    }
    runtime::PackageReadResult read;
    const double readBack = timeMs(runs, [&] { read = runtime::readPackage(package); });
    const double megabytes = written.header.fileLength / 1e6;
    std::printf("%-44s %9.1f ms  %.1f MB, %.0f MB/s\n",
                qPrintable(QStringLiteral("write a package of %1 pictures").arg(count)), write,
                megabytes, megabytes / (write / 1000));
    std::printf("%-44s %9.1f ms  %.0f MB/s%s\n", "read it back", readBack,
                megabytes / (readBack / 1000), read.ok() ? "" : "  (FAILED)");
    folder.removeFiles(count);
    return read.ok() ? 0 : 1;
}
