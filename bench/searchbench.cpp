// search-bench: the image search's figures, each beside a reference in the
// same run.
//
//   search-bench [--work DIR] [--count N] [--files N]
//
// 1. The folder walk alone over a tree of N (100,000) small files, half of
//    them tiny JPEGs, with the mask "*.jpg" and sub-folders, against
//    `find DIR -name '*.jpg'` over the same tree.
// 2. A thumbnail search of N (1,000) twelve-megapixel JPEGs into a shown
//    thumbnail window with a cold cache, then a warm one: the time until the
//    first screenful of thumbnails is in the window, until all are, and the
//    interface thread's longest stall meanwhile (the longest gap between
//    ticks of a 5 ms timer); against `vipsthumbnail --size 128x128` over the
//    same photographs.
// The tree and the photographs are made once and kept in the work folder.
#include "app/fpicapp.h"
#include "bench/benchsupport.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "platform/prompt.h"
#include "search/folderwalk.h"
#include "search/thumbnailer.h"
#include "search/thumbnailsearch.h"
#include "search/thumbnailwindow.h"
#include "search/thumbnailwindows.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace bench;

namespace {

/// Prompts nobody answers: the benchmark runs unattended.
class SilentPrompt : public PromptService {
public:
    void message(const QString& text, Icon, const QString&) override {
        std::fprintf(stderr, "search-bench: %s\n", qPrintable(text));
    }
    Answer ask(const QString&, Buttons, Icon, const QString&) override { return Answer::No; }
    FileResult chooseFile(const FileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
};

void makeTree(const QString& root, int files) {
    const QString done = QDir(root).filePath(QStringLiteral(".complete"));
    if (QFile::exists(done)) {
        return;
    }
    std::printf("Making a tree of %d files in %s ...\n", files, qPrintable(root));
    QByteArray jpeg;
    imaging::ImageHandle tiny;
    imaging::createImage(&tiny, 16, 16, 24);
    tiny.image.fill(Qt::darkGreen);
    imaging::saveMemory(&jpeg, tiny, imaging::format::kJpeg, 24, imaging::kDefaultQualityFactor);
    const int perFolder = 1000;
    for (int i = 0; i < files; ++i) {
        const QString folder = QDir(root).filePath(
            QStringLiteral("d%1/e%2").arg(i / (perFolder * 10)).arg(i / perFolder));
        if (i % perFolder == 0) {
            QDir().mkpath(folder);
        }
        const bool picture = i % 2 == 0;
        QFile file(QDir(folder).filePath(QStringLiteral("f%1.%2").arg(i).arg(
            picture ? QLatin1String("jpg") : QLatin1String("txt"))));
        file.open(QIODevice::WriteOnly);
        file.write(picture ? jpeg : QByteArray("a note\n"));
    }
    QFile(done).open(QIODevice::WriteOnly);
}

struct FillFigures {
    double firstScreen = -1;
    double all = -1;
    double longestStall = 0;
    int visible = 0;
};

FillFigures fillWindow(search::ThumbnailSearch& search, search::ThumbnailWindows& windows,
                       const QString& folder, int count) {
    FillFigures figures;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        figures.longestStall = std::max(figures.longestStall, sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    search::ThumbnailWindow* window = windows.createSearchWindow(
        search::ThumbnailSearch::titleText(folder, QStringLiteral("*.jpg"), false));
    QListView* view = window->listView();
    QObject::connect(window, &search::ThumbnailWindow::thumbnailMade, [&](int made) {
        if (figures.firstScreen < 0 && made >= figures.visible && figures.visible > 0) {
            figures.firstScreen = clock.nsecsElapsed() / 1e6;
        }
        if (made >= count) {
            figures.all = clock.nsecsElapsed() / 1e6;
        }
    });
    clock.start();
    sinceTick.start();
    ticker.start();
    search.walkInto(window, folder, QStringLiteral("*.jpg"), false);
    // What one screen of the window holds.
    const QSize cell = view->gridSize();
    const QRect area = view->viewport()->rect();
    figures.visible = std::min(count, std::max(1, area.width() / cell.width()) *
                                          std::max(1, area.height() / cell.height()));
    // Wait in the event loop, as the program does, rather than spin beside
    // the thumbnail workers.
    if (figures.firstScreen < 0 && window->thumbnailsMade() >= figures.visible) {
        figures.firstScreen = clock.nsecsElapsed() / 1e6;
    }
    if (figures.all < 0) {
        QEventLoop loop;
        QObject::connect(window, &search::ThumbnailWindow::thumbnailMade, &loop, [&](int made) {
            if (figures.firstScreen < 0 && made >= figures.visible) {
                figures.firstScreen = clock.nsecsElapsed() / 1e6;
            }
            if (made >= count) {
                loop.quit();
            }
        });
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    ticker.stop();
    window->close();
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    const Options options = parseOptions(
        {QDir::temp().filePath(QStringLiteral("pixoria-search-bench")), 3, 1000, 100000});
    const QString work = options.work;
    const int count = options.count;
    const int files = options.files;
    const QString find = QStandardPaths::findExecutable(QStringLiteral("find"));
    const QString tree = QDir(work).filePath(QStringLiteral("tree"));
    makeTree(tree, files);
    std::printf("machine: %s\n\n", qPrintable(machineDescription()));

    // 1. The walk alone, with a warm page cache for both.
    runProgram(find, {tree, QStringLiteral("-name"), QStringLiteral("*.jpg")});
    int found = 0;
    const double walk = timeMs(3, [&] {
        search::SearchState state;
        found = 0;
        search::walkFolder(tree, QStringLiteral("*.jpg"), true, state, [&](const QString&) {
            ++found;
            return 0;
        });
    });
    const double listing = timeMs(3, [&] {
        search::SearchState state;
        search::walkFolder(tree, QStringLiteral("*.none"), true, state,
                           [](const QString&) { return 0; });
    });
    const double findTime = timeMs(3, [&] {
        runProgram(find, {tree, QStringLiteral("-name"), QStringLiteral("*.jpg")});
    });
    std::printf(
        "%-46s %9.1f ms  %-10s %9.1f ms  ratio %.2f  (goal: at most 3)\n",
        qPrintable(QStringLiteral("walk %1 files, %2 pictures accepted").arg(files).arg(found)),
        walk, "find", findTime, walk / findTime);
    std::printf("%-46s %9.1f ms\n", "  of which listing and names alone", listing);

    // 2. A search into a window, cold and then warm.
    // The photographs of thumb-bench when there are as many.
    const QString photos = QDir(work).filePath(
        count == 1000 ? QStringLiteral("photos") : QStringLiteral("photos-%1").arg(count));
    std::printf("Photographs in %s ...\n", qPrintable(photos));
    QDir().mkpath(photos);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths << QDir(photos).filePath(
            QStringLiteral("photo-%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    }
    makePhotographs(paths);
    QTemporaryDir root;
    QDir().mkpath(root.filePath(QStringLiteral("bin")));
    SilentPrompt prompt;
    CFpicApp app(
        {root.filePath(QStringLiteral("bin")), root.filePath(QStringLiteral("Pixoria.conf")), {}},
        prompt);
    app.setSplashRunner([] {});
    app.initInstance();
    search::Thumbnailer thumbnailer;
    thumbnailer.setCacheRoot(root.filePath(QStringLiteral("cache")));
    search::ThumbnailWindows windows(app, thumbnailer);
    search::ThumbnailSearch search(app, windows);

    const FillFigures cold = fillWindow(search, windows, photos, count);
    const FillFigures warm = fillWindow(search, windows, photos, count);
    std::printf("%d photographs of 4000x3000, a screenful is %d thumbnails\n", count, cold.visible);
    std::printf("cold cache: first screenful %8.1f ms, all %9.1f ms, longest stall %6.1f ms\n",
                cold.firstScreen, cold.all, cold.longestStall);
    std::printf("warm cache: first screenful %8.1f ms, all %9.1f ms, longest stall %6.1f ms\n",
                warm.firstScreen, warm.all, warm.longestStall);
    // The same photographs through vipsthumbnail, one process.
    const QString vipsthumbnail = QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail"));
    if (!vipsthumbnail.isEmpty()) {
        const QString vipsOut = QDir(work).filePath(QStringLiteral("vips"));
        QDir().mkpath(vipsOut);
        QStringList vipsArguments = paths;
        vipsArguments << QStringLiteral("--size") << QStringLiteral("128x128")
                      << QStringLiteral("-o") << vipsOut + QStringLiteral("/%s.png");
        const double vips = timeMs(1, [&] { runProgram(vipsthumbnail, vipsArguments); });
        std::printf(
            "vipsthumbnail --size 128x128: %9.1f ms; the cold window took %.2f of it "
            "(goal: at most 0.6)\n",
            vips, cold.all / vips);
    }
    std::printf(
        "warm is %.1f times faster than cold (goal: at least 10); longest stall goal: under 50 "
        "ms\n",
        cold.all / warm.all);
    return 0;
}
