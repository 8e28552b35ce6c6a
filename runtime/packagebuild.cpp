#include "runtime/packagebuild.h"

#include "runtime/imageprep.h"

namespace runtime {

PackageBuildResult buildPackage(const QString& outputPath, const PlayerProject& project,
                                const PackageWriteOptions& options,
                                const std::function<void(int step)>& progress) {
    PackageBuildResult result;
    if (project.images.isEmpty() || project.images.size() > kMaxImages) {
        result.message =
            project.images.isEmpty()
                ? QStringLiteral("A runtime player needs at least one picture.")
                : QStringLiteral("A runtime player holds at most %1 pictures.").arg(kMaxImages);
        return result;
    }
    const PlayerWorkFolder folder;
    if (!folder.isValid()) {
        result.message = QStringLiteral("No temporary folder could be made for the pictures.");
        return result;
    }
    QStringList sources;
    for (const PlayerImage& image : project.images) {
        sources.append(image.sourcePath);
    }
    const PrepareResult prepared =
        prepareImages(sources, folder, 1, kPrepareQualityFactor, [&](int done) {
            if (progress) {
                progress(done);
            }
            return true;
        });
    result.failedImages = prepared.failed;

    PlayerProject ready;
    ready.options = project.options;
    for (int i = 0; i < prepared.sourceIndexes.size(); ++i) {
        PlayerImage image = project.images[prepared.sourceIndexes[i]];
        image.preparedPath = prepared.preparedPaths[i];
        ready.images.append(std::move(image));
    }
    if (ready.images.isEmpty()) {
        result.message = QStringLiteral("None of the pictures could be prepared.");
        return result;
    }
    const int base = static_cast<int>(sources.size());
    const PackageWriteResult written = writePackage(outputPath, ready, options, [&](int step) {
        if (progress) {
            progress(base + step);
        }
    });
    result.ok = written.ok;
    result.message = written.message;
    result.header = written.header;
    return result;
}

}  // namespace runtime
