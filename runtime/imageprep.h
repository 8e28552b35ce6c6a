#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

/// Preparing pictures for a runtime player: each becomes a JPEG copy of at
/// most 550 by 380 pixels, never enlarged, in a temporary folder of the
/// build under the name of its number. preparePicture may run on any thread;
/// prepareImages spreads the work over every core and reports progress on
/// the calling thread.
namespace runtime {

inline constexpr int kPreparedMaxWidth = 550;
inline constexpr int kPreparedMaxHeight = 380;
/// The quality factor of the creator's first preparation, and of pictures
/// added while it is open.
inline constexpr int kPrepareQualityFactor = 20;
inline constexpr int kAddedImageQualityFactor = 25;

/// The size a picture of `size` is stored at: taller than 380 pixels gives
/// a height of 380 and a width of 380 x width / height, which when above
/// 550 gives a width of 550 and a height of 550 x height / width; else a
/// width above 550 gives 550 by 550 x height / width. Rounded multiply-
/// divides, never below one pixel; a picture within 550 by 380 keeps its
/// size.
QSize preparedSize(QSize size);

/// One picture prepared in memory.
struct PreparedPicture {
    int status = 0;    // an imaging result code
    QByteArray jpeg;   // the JPEG file, when status is success
    QSize size;        // its size
    QSize sourceSize;  // the picture's own size
};

/// Tests, loads, reduces and encodes one picture: a JPEG at 24 bits with
/// the given quality factor. A file that fails the file check, an
/// enciphered image (no password is asked here) or one that cannot be
/// loaded or resized fails.
PreparedPicture preparePicture(const QString& source, int qualityFactor = kPrepareQualityFactor);

/// The temporary folder of one player build, inside the system's temporary
/// folder: the prepared pictures "1" to "n" and sounds taken out of an
/// imported package. Everything in it goes with the object.
class PlayerWorkFolder {
public:
    PlayerWorkFolder();
    PlayerWorkFolder(const PlayerWorkFolder&) = delete;
    PlayerWorkFolder& operator=(const PlayerWorkFolder&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    /// The prepared picture `number`: the decimal number, no extension.
    QString preparedPath(int number) const;
    /// A sound taken out of an imported package: "zss", the number, ".wav".
    QString importedSoundPath(int number) const;
    /// Deletes the prepared pictures 1 to `count` and the imported sounds
    /// of the same numbers, as after a build.
    void removeFiles(int count) const;

private:
    QTemporaryDir m_dir;
};

/// Prepares one picture into the work folder as picture `number`; the
/// prepared path, or an empty string (with the imaging code in `status`).
QString prepareImage(const QString& source, int number, const PlayerWorkFolder& folder,
                     int qualityFactor = kPrepareQualityFactor, int* status = nullptr);

struct PrepareResult {
    /// For each picture that was prepared, in order: the index of its
    /// source and its prepared path (numbered on from the first number).
    QList<int> sourceIndexes;
    QStringList preparedPaths;
    /// The sources that failed, in order.
    QStringList failed;
    bool cancelled = false;
};

/// Prepares `sources` on every core. The pictures that succeed are numbered
/// in source order from `firstNumber`, so a failure leaves no gap.
/// `progress` gets the count of sources done so far, in order, and stops the
/// work by returning false; what was prepared until then stays.
PrepareResult prepareImages(const QStringList& sources, const PlayerWorkFolder& folder,
                            int firstNumber = 1, int qualityFactor = kPrepareQualityFactor,
                            const std::function<bool(int done)>& progress = {});

}  // namespace runtime
