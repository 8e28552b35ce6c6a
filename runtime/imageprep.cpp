#include "runtime/imageprep.h"

#include "image/filecheck.h"
#include "imaging/errors.h"
#include "imaging/formatcodes.h"
#include "imaging/imagefile.h"
#include "imaging/secondlibrary.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace runtime {

namespace {

/// a x b / c rounded to the nearest, as the platform's multiply-divide.
int mulDiv(qint64 a, qint64 b, qint64 c) {
    return static_cast<int>((a * b + c / 2) / c);
}

bool decodesScaled(int format) {
    return format == imaging::format::kJpeg || format == imaging::format::kExifJpeg;
}

PreparedPicture prepare(const QString& source, int qualityFactor) {
    PreparedPicture result;
    const image::FileCheck check = image::checkFile(source);
    if (check.result != 1 || check.encrypted) {
        result.status = imaging::kErrorInvalidFormat;
        return result;
    }
    imaging::ImageHandle handle;
    QSize target;
    if (check.secondLibrary) {
        if (imaging::second::load(source, &handle) != 0) {
            result.status = imaging::kErrorInvalidFormat;
            return result;
        }
        result.sourceSize = handle.image.size();
        target = preparedSize(result.sourceSize);
    } else {
        imaging::FileInfo info;
        result.status = imaging::fileInfo(source, &info);
        if (result.status != imaging::kSuccess) {
            return result;
        }
        result.sourceSize = QSize(info.width, info.height);
        target = preparedSize(result.sourceSize);
        // JPEGs are decoded at a reduced scale straight away, which spares
        // most of the decoding of a large photograph.
        if (decodesScaled(info.format) && target != result.sourceSize) {
            result.status = imaging::loadFileScaled(source, target, &handle);
        } else {
            result.status = imaging::loadFile(source, &handle);
            if (result.status == imaging::kSuccess) {
                result.sourceSize = handle.image.size();
                target = preparedSize(result.sourceSize);
            }
        }
        if (result.status != imaging::kSuccess) {
            return result;
        }
    }
    if (handle.image.size() != target) {
        // The copy is stored at 24 bits: filter it in true colour rather
        // than back onto a palette.
        if (handle.bitsPerPixel <= 8) {
            result.status =
                imaging::changeBitsPerPixel(&handle, 24, imaging::Dither::ErrorDiffusion);
            if (result.status != imaging::kSuccess) {
                return result;
            }
        }
        result.status = imaging::resizeImage(&handle, target.width(), target.height());
        if (result.status != imaging::kSuccess) {
            return result;
        }
    }
    result.status =
        imaging::saveMemory(&result.jpeg, handle, imaging::format::kJpeg, 24, qualityFactor);
    result.size = handle.image.size();
    return result;
}

}  // namespace

QSize preparedSize(QSize size) {
    const qint64 width = size.width();
    const qint64 height = size.height();
    if (width <= 0 || height <= 0) {
        return size;
    }
    QSize target = size;
    if (height > kPreparedMaxHeight) {
        target = QSize(mulDiv(kPreparedMaxHeight, width, height), kPreparedMaxHeight);
        if (target.width() > kPreparedMaxWidth) {
            target = QSize(kPreparedMaxWidth, mulDiv(kPreparedMaxWidth, height, width));
        }
    } else if (width > kPreparedMaxWidth) {
        target = QSize(kPreparedMaxWidth, mulDiv(kPreparedMaxWidth, height, width));
    }
    // A sliver of a picture keeps one pixel rather than vanishing.
    return target.expandedTo(QSize(1, 1));
}

PreparedPicture preparePicture(const QString& source, int qualityFactor) {
    try {
        return prepare(source, qualityFactor);
    } catch (const std::bad_alloc&) {
        PreparedPicture failed;
        failed.status = imaging::kErrorNoMemory;
        return failed;
    }
}

PlayerWorkFolder::PlayerWorkFolder()
    : m_dir(QDir(QDir::tempPath()).filePath(QStringLiteral("pixoria-player-XXXXXX"))) {}

QString PlayerWorkFolder::preparedPath(int number) const {
    return m_dir.filePath(QString::number(number));
}

QString PlayerWorkFolder::importedSoundPath(int number) const {
    return m_dir.filePath(QStringLiteral("zss%1.wav").arg(number));
}

void PlayerWorkFolder::removeFiles(int count) const {
    for (int number = 1; number <= count; ++number) {
        QFile::remove(preparedPath(number));
        QFile::remove(importedSoundPath(number));
    }
}

QString prepareImage(const QString& source, int number, const PlayerWorkFolder& folder,
                     int qualityFactor, int* status) {
    const PreparedPicture picture = preparePicture(source, qualityFactor);
    int result = picture.status;
    const QString path = folder.preparedPath(number);
    if (result == imaging::kSuccess && !writeFileAtomically(path, picture.jpeg)) {
        result = imaging::kErrorFileWrite;
    }
    if (status) {
        *status = result;
    }
    return result == imaging::kSuccess ? path : QString();
}

PrepareResult prepareImages(const QStringList& sources, const PlayerWorkFolder& folder,
                            int firstNumber, int qualityFactor,
                            const std::function<bool(int done)>& progress) {
    PrepareResult result;
    const int total = static_cast<int>(sources.size());
    if (total == 0) {
        return result;
    }
    std::vector<PreparedPicture> pictures(static_cast<size_t>(total));
    std::vector<bool> finished(static_cast<size_t>(total), false);
    std::mutex mutex;
    std::condition_variable finishedOne;
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};

    auto work = [&] {
        while (!stop) {
            const int index = next++;
            if (index >= total) {
                return;
            }
            PreparedPicture picture = preparePicture(sources[index], qualityFactor);
            {
                const std::lock_guard lock(mutex);
                pictures[static_cast<size_t>(index)] = std::move(picture);
                finished[static_cast<size_t>(index)] = true;
            }
            finishedOne.notify_one();
        }
    };
    const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, total);
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(threads));
    for (int i = 0; i < threads; ++i) {
        pool.emplace_back(work);
    }

    // The pictures are written here, in source order, as soon as each one
    // and all before it are done, so the numbers follow the sources.
    int number = firstNumber;
    for (int index = 0; index < total; ++index) {
        PreparedPicture picture;
        {
            std::unique_lock lock(mutex);
            finishedOne.wait(lock, [&] { return finished[static_cast<size_t>(index)]; });
            picture = std::move(pictures[static_cast<size_t>(index)]);
        }
        const QString path = folder.preparedPath(number);
        if (picture.status == imaging::kSuccess && writeFileAtomically(path, picture.jpeg)) {
            result.sourceIndexes.append(index);
            result.preparedPaths.append(path);
            ++number;
        } else {
            result.failed.append(sources[index]);
        }
        if (progress && !progress(index + 1)) {
            result.cancelled = index + 1 < total;
            break;
        }
    }
    stop = true;
    for (std::thread& thread : pool) {
        thread.join();
    }
    return result;
}

}  // namespace runtime
