#pragma once

#include "runtime/packagewriter.h"

#include <QStringList>

#include <functional>

/// A whole build without the creator's windows: every picture of a project
/// prepared in a work folder of its own, then the package written. Any
/// thread.
namespace runtime {

struct PackageBuildResult {
    bool ok = false;
    QString message;           // why no package was written
    QStringList failedImages;  // pictures left out because they could not be prepared
    PackageHeader header;      // what was written
};

/// Prepares the project's pictures from their source paths, leaving out
/// (with their sounds and descriptions) those that fail, and writes the
/// package of the rest. The prepared pictures live in a temporary folder
/// that is removed when the build ends, whether it succeeded or not.
/// `progress` gets the pictures prepared so far, then the writer's steps
/// after them.
PackageBuildResult buildPackage(const QString& outputPath, const PlayerProject& project,
                                const PackageWriteOptions& options,
                                const std::function<void(int step)>& progress = {});

}  // namespace runtime
