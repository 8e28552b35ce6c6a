#pragma once

#include <QString>

/// The standard folders of a run. Every folder path ends in "/".
struct AppFolders {
    QString program;  // where "pzset.pzs" and the default sub-folders live
    QString windows;  // the default picture folder
    QString albums;   // where albums are kept
};

/// `folder` with one "/" at its end.
QString withTrailingSeparator(const QString& folder);

/// The folder of the executable when the user may write there (a portable
/// copy), otherwise the per-user data folder "$XDG_DATA_HOME/Pixoria/",
/// created if needed. An empty `executableFolder` gives the file-system root.
QString determineProgramFolder(const QString& executableFolder);

/// The user's Pictures folder, or the home folder when there is none, or
/// `programFolder` when neither can be had.
QString determineWindowsFolder(const QString& programFolder);

/// `programFolder` + "Albums/" when it exists or can be made, else the
/// program folder itself.
QString determineAlbumFolder(const QString& programFolder);
