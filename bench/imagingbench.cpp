// imaging-bench: the imaging library's figures, each measured side by side
// with a reference program on the same files in the same run.
//
//   imaging-bench [--work DIR] [--runs N]
//
// Makes its own test photographs (noise over gradients, so they compress
// like photographs), then reports:
//   1. full decode of a 24-megapixel JPEG against libjpeg-turbo's djpeg;
//   2. 128-pixel thumbnails of 12-megapixel JPEGs against vipsthumbnail;
//   3. load and save of a 24-megapixel TIFF and PNG against "vips copy";
//   4. the peak memory of loading a 24-megapixel JPEG, TIFF and PNG against
//      their raw size.
// Times are medians of N runs; the reference programs are timed as whole
// processes, so their start-up (a few milliseconds) counts against them.
#include "bench/benchsupport.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace bench;
using namespace imaging;

namespace {

void report(const char* what, double ours, double theirs, const char* reference, const char* goal) {
    std::printf("%-46s %9.1f ms  %-22s %9.1f ms  ratio %.2f  (goal: %s)\n", what, ours, reference,
                theirs, ours / theirs, goal);
}

/// The peak resident memory of loading `path` in a child process, above
/// that of the same process before the load.
double peakLoadMegabytes(const QString& path) {
    int pipe[2];
    if (::pipe(pipe) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        ::close(pipe[0]);
        // Warm the libraries (a tiny load) so only the picture's memory counts.
        ImageHandle warm;
        createImage(&warm, 8, 8, 24);
        QByteArray tiny;
        saveMemory(&tiny, warm, format::kPng, 24);
        loadMemory(tiny, &warm);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        ImageHandle handle;
        loadFile(path, &handle);
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        const double megabytes = (after.ru_maxrss - before.ru_maxrss) / 1024.0;
        if (::write(pipe[1], &megabytes, sizeof megabytes) != sizeof megabytes) {
            _exit(1);
        }
        _exit(0);
    }
    ::close(pipe[1]);
    double megabytes = -1;
    if (::read(pipe[0], &megabytes, sizeof megabytes) != sizeof megabytes) {
        megabytes = -1;
    }
    ::close(pipe[0]);
    waitpid(child, nullptr, 0);
    return megabytes;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options =
        parseOptions({QDir::temp().filePath(QStringLiteral("pixoria-imaging-bench")), 5});
    const QString work = options.work;
    const int runs = options.runs;
    QDir().mkpath(work);
    const QDir dir(work);
    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    const QString vipsthumbnail = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vips"));
    if (djpeg.isEmpty() || vipsthumbnail.isEmpty() || vips.isEmpty()) {
        std::fprintf(stderr,
                     "imaging-bench: needs djpeg (libjpeg-turbo-progs) and vips, "
                     "vipsthumbnail (libvips-tools)\n");
        return 1;
    }

    std::printf("Making test pictures in %s ...\n", qPrintable(work));
    const QString big = dir.filePath(QStringLiteral("24mp.jpg"));
    const QString bigTiff = dir.filePath(QStringLiteral("24mp.tif"));
    const QString bigPng = dir.filePath(QStringLiteral("24mp.png"));
    {
        const ImageHandle picture = photograph(6000, 4000, 1);
        saveFile(big, picture, format::kJpeg, 24, kDefaultQualityFactor);
        saveFile(bigTiff, picture, format::kTiff, 24);
        saveFile(bigPng, picture, format::kPng, 24);
    }
    QStringList twelve;
    for (int i = 0; i < 10; ++i) {
        const QString path = dir.filePath(QStringLiteral("12mp-%1.jpg").arg(i));
        saveFile(path, photograph(4000, 3000, 100 + i), format::kJpeg, 24, kDefaultQualityFactor);
        twelve << path;
    }
    std::printf("runs per figure: %d (median)\n\n", runs);

    // 1. Full decode.
    ImageHandle handle;
    const double ours = timeMs(runs, [&] { loadFile(big, &handle); });
    const double theirs = timeMs(runs, [&] {
        runProgram(djpeg, {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), big});
    });
    report("decode 24 MP JPEG (6000x4000)", ours, theirs, "djpeg", "within 1.15");

    // 2. Thumbnails, each written out as a JPEG as vipsthumbnail does.
    const double thumbsOurs = timeMs(runs, [&] {
        for (const QString& path : twelve) {
            ImageHandle thumb;
            loadFileScaled(path, QSize(128, 128), &thumb);
            saveFile(dir.filePath(QStringLiteral("ours-thumb.jpg")), thumb, format::kJpeg, 24);
        }
    });
    QStringList thumbArgs = twelve;
    thumbArgs << QStringLiteral("--size") << QStringLiteral("128x128") << QStringLiteral("-o")
              << dir.filePath(QStringLiteral("vips-%s.jpg"));
    const double thumbsTheirs = timeMs(runs, [&] { runProgram(vipsthumbnail, thumbArgs); });
    report("10 thumbnails of 12 MP JPEGs (128 px)", thumbsOurs, thumbsTheirs, "vipsthumbnail",
           "at most 1.0");

    // 3. Load and save.
    for (const QString& source : {bigTiff, bigPng}) {
        const bool tiff = source.endsWith(QLatin1String(".tif"));
        const QString ourOut =
            dir.filePath(tiff ? QStringLiteral("ours.tif") : QStringLiteral("ours.png"));
        const QString vipsOut =
            dir.filePath(tiff ? QStringLiteral("vips.tif") : QStringLiteral("vips.png"));
        const double loadSave = timeMs(runs, [&] {
            ImageHandle picture;
            loadFile(source, &picture);
            saveFile(ourOut, picture, tiff ? format::kTiff : format::kPng, 24);
        });
        const double vipsCopy = timeMs(runs, [&] {
            runProgram(vips, {QStringLiteral("copy"), source, vipsOut});
        });
        report(tiff ? "load + save 24 MP TIFF (uncompressed)" : "load + save 24 MP PNG", loadSave,
               vipsCopy, "vips copy", "report");
    }

    // 4. Peak memory.
    const double raw = 6000.0 * 4000 * 3 / (1024 * 1024);
    std::printf("\n");
    for (const QString& source : {big, bigTiff, bigPng}) {
        const double peak = peakLoadMegabytes(source);
        std::printf(
            "peak memory loading %-8s %7.1f MB, raw picture %.1f MB, ratio %.2f  (goal: under "
            "1.3)\n",
            qPrintable(QFileInfo(source).suffix()), peak, raw, peak / raw);
    }
    return 0;
}
