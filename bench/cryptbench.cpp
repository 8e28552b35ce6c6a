// crypt-bench: enciphering and deciphering throughput of the cipher file
// layer over a 256 MB file, single-threaded, beside OpenSSL's MD5 speed on
// the same machine in the same run.
//
//   crypt-bench [--megabytes N] [--work DIR]
//
// The cipher runs three MD5 compressions for every 32-byte block, where MD5
// runs one for every 64 bytes, so its ceiling is a sixth of MD5's bulk
// throughput; the figure reported is the share of that ceiling reached.
#include "crypt/cryptfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>
#include <vector>

namespace {

/// OpenSSL's MD5 throughput on 8192-byte blocks, in MB/s (10^6 bytes).
double opensslMd5() {
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty()) {
        return 0;
    }
    QProcess process;
    process.start(openssl,
                  {QStringLiteral("speed"), QStringLiteral("-seconds"), QStringLiteral("3"),
                   QStringLiteral("-bytes"), QStringLiteral("8192"), QStringLiteral("md5")});
    process.waitForFinished(60000);
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    // The last line: "md5   749187.36k" (thousands of bytes per second).
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral(R"(md5\s+([\d.]+)k)")).match(output);
    return match.hasMatch() ? match.captured(1).toDouble() / 1000.0 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 megabytes = 256;
    QString work = QDir::tempPath();
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--megabytes")) {
            megabytes = arguments[i + 1].toLongLong();
        } else if (arguments[i] == QLatin1String("--work")) {
            work = arguments[i + 1];
        }
    }
    const QString path = QDir(work).filePath(QStringLiteral("pixoria-crypt-bench.bin"));
    std::vector<unsigned char> key(96);
    for (int i = 0; i < 96; ++i) {
        key[static_cast<size_t>(i)] = static_cast<unsigned char>(i * 13 + 1);
    }
    std::vector<char> chunk(64 * 1024);
    for (size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(i * 31);
    }
    const qint64 bytes = megabytes * 1024 * 1024;

    QElapsedTimer timer;
    timer.start();
    {
        COXCryptFile file;
        file.SetKey(key.data());
        if (!file.open(path, CFile::kModeCreate | CFile::kModeWrite)) {
            std::fprintf(stderr, "crypt-bench: cannot create %s\n", qPrintable(path));
            return 1;
        }
        for (qint64 done = 0; done < bytes; done += static_cast<qint64>(chunk.size())) {
            file.write(chunk.data(), static_cast<std::uint32_t>(chunk.size()));
        }
        file.close();
    }
    const double encipherSeconds = timer.nsecsElapsed() / 1e9;

    timer.restart();
    {
        COXCryptFile file;
        file.SetKey(key.data());
        if (!file.open(path, CFile::kModeRead)) {
            return 1;
        }
        while (file.read(chunk.data(), static_cast<std::uint32_t>(chunk.size())) > 0) {
        }
        file.close();
    }
    const double decipherSeconds = timer.nsecsElapsed() / 1e9;
    QFile::remove(path);

    const double md5 = opensslMd5();
    const double ceiling = md5 / 6.0;
    const double encipher = bytes / 1e6 / encipherSeconds;
    const double decipher = bytes / 1e6 / decipherSeconds;
    std::printf("file: %lld MB through COXCryptFile, single thread\n",
                static_cast<long long>(megabytes));
    std::printf("encipher: %7.1f MB/s\n", encipher);
    std::printf("decipher: %7.1f MB/s\n", decipher);
    std::printf(
        "openssl speed md5 (8192-byte blocks): %7.1f MB/s, ceiling of the cipher %.1f MB/s\n", md5,
        ceiling);
    if (ceiling > 0) {
        std::printf(
            "share of the ceiling: encipher %.0f%%, decipher %.0f%%  (goal: at least 85%%)\n",
            100 * encipher / ceiling, 100 * decipher / ceiling);
    }
    return 0;
}
