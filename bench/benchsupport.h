#pragma once

// What the benchmark programs share: timing by median, running a reference
// program, photograph-like test pictures and a line about the machine.

#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace bench {

/// A benchmark's command line: "--work DIR", "--runs N", "--count N" and
/// "--files N", each over the default the benchmark gives.
struct Options {
    QString work;
    int runs = 3;
    int count = 0;
    int files = 0;
};

inline Options parseOptions(Options options) {
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString& name = arguments[i];
        const QString& value = arguments[i + 1];
        if (name == QLatin1String("--work")) {
            options.work = value;
        } else if (name == QLatin1String("--runs")) {
            options.runs = std::max(1, value.toInt());
        } else if (name == QLatin1String("--count")) {
            options.count = std::max(1, value.toInt());
        } else if (name == QLatin1String("--files")) {
            options.files = std::max(2, value.toInt());
        }
    }
    return options;
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

/// The median time of `runs` runs of `work`, in milliseconds.
inline double timeMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

/// Runs a program to its end; false when it could not run or failed.
inline bool runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

/// A photograph-like picture: smooth gradients with fine noise, so that it
/// compresses as photographs do. Each seed gives another picture.
inline imaging::ImageHandle photograph(int width, int height, quint32 seed) {
    imaging::ImageHandle handle;
    imaging::createImage(&handle, width, height, 24);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        uchar* row = handle.image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(random.bounded(24)) - 12;
            row[3 * x] = static_cast<uchar>(std::clamp(x * 255 / width + noise, 0, 255));
            row[3 * x + 1] = static_cast<uchar>(std::clamp(y * 255 / height + noise, 0, 255));
            row[3 * x + 2] = static_cast<uchar>(
                std::clamp(((x + y + static_cast<int>(seed) * 31) / 7) % 256 + noise, 0, 255));
        }
    }
    return handle;
}

/// Makes the photographs of 4000 by 3000 pixels at `paths` that are not
/// there yet (the i-th from seed 100 + i), on every core.
inline void makePhotographs(const QStringList& paths) {
    std::atomic<int> next{0};
    const int count = static_cast<int>(paths.size());
    auto make = [&] {
        for (int i = next++; i < count; i = next++) {
            if (!QFile::exists(paths[i])) {
                imaging::saveFile(paths[i], photograph(4000, 3000, 100 + static_cast<quint32>(i)),
                                  imaging::format::kJpeg, 24, imaging::kDefaultQualityFactor);
            }
        }
    };
    std::vector<std::thread> makers;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
        makers.emplace_back(make);
    }
    for (std::thread& maker : makers) {
        maker.join();
    }
}

/// What `vipsthumbnail --vips-version` says.
inline QString vipsVersion(const QString& vipsthumbnail) {
    QProcess process;
    process.start(vipsthumbnail, {QStringLiteral("--vips-version")});
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

/// The processor's model and the number of cores.
inline QString machineDescription() {
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QString model = QStringLiteral("unknown processor");
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
        }
    }
    return QStringLiteral("%1, %2 cores").arg(model).arg(std::thread::hardware_concurrency());
}

}  // namespace bench
