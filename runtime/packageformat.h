#pragma once

#include "runtime/playerproject.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

/// The layout of a runtime player package: the player stub copied whole,
/// the header and three tables behind it, the enciphered part from the next
/// 32-byte boundary, and a trailer holding the stub's length eight times.
/// All integers are 32-bit little-endian. Any thread.
namespace runtime {

/// Trailer values outside this range are not packages at all.
inline constexpr qint64 kMinStubLength = 100'000;
inline constexpr qint64 kMaxStubLength = 10'000'000;
/// Trailer values outside this range are read as kAssumedStubLength, so a
/// stub must have a length within it.
inline constexpr qint64 kMinUsualStubLength = 200'000;
inline constexpr qint64 kMaxUsualStubLength = 330'000;
inline constexpr qint64 kAssumedStubLength = 312'320;

inline constexpr int kHeaderFields = 7;
inline constexpr int kHeaderSize = 4 * kHeaderFields;
inline constexpr int kTrailerCopies = 8;
inline constexpr int kTrailerSize = 4 * kTrailerCopies;
inline constexpr int kCipherBlock = 32;
/// The filler after the texts is this long plus the low five bits of the
/// package's length without it.
inline constexpr int kFillerBase = 64;

/// Sound table entries from this value on refer to an earlier picture's
/// sound: the entry less this value is that picture's number.
inline constexpr quint32 kSoundReferenceBase = 4'000'000'000u;
inline constexpr quint32 kMaxSoundLength = kSoundReferenceBase - 1;

inline bool isSoundReference(quint32 entry) {
    return entry >= kSoundReferenceBase;
}
/// The stored length a table entry stands for: 0 for a reference.
inline qint64 storedSoundLength(quint32 entry) {
    return isSoundReference(entry) ? 0 : entry;
}

/// Where everything lies in a package of `imageCount` pictures behind a
/// stub of `stubLength` bytes.
struct PackageLayout {
    qint64 stubLength = 0;
    int imageCount = 0;

    qint64 header() const { return stubLength; }
    qint64 keyBlock1() const { return stubLength + kHeaderSize; }
    qint64 imageLengths() const { return keyBlock1() + 32; }
    qint64 keyBlock2() const { return imageLengths() + 4LL * imageCount; }
    qint64 soundLengths() const { return keyBlock2() + 32; }
    qint64 keyBlock3() const { return soundLengths() + 4LL * imageCount; }
    qint64 textLengths() const { return keyBlock3() + 32; }
    /// The end of the plain part: S + 124 + 12n.
    qint64 plainEnd() const { return textLengths() + 4LL * imageCount; }
    /// B: the start of the enciphered part.
    qint64 cipherStart() const { return roundUp(plainEnd()); }
    /// The key blocks and tables: 12n + 96 bytes.
    qint64 tablesSize() const { return plainEnd() - keyBlock1(); }

    static qint64 roundUp(qint64 offset) {
        return (offset + kCipherBlock - 1) / kCipherBlock * kCipherBlock;
    }
};

/// The zero filler after the texts, for `payloadLength` bytes of pictures,
/// stored sounds and texts: 64 plus the low five bits of
/// S + 188 + 12n + payloadLength.
int fillerLength(const PackageLayout& layout, qint64 payloadLength);
/// The length of a whole package.
qint64 packageLength(const PackageLayout& layout, qint64 payloadLength);

/// The header and tables of a package, as stored and as meant.
struct PackageHeader {
    qint64 fileLength = 0;
    qint32 trailerStubLength = 0;  // the stub length the trailer states
    qint64 stubLength = 0;         // where the header was read (or written)
    qint32 countField = 0;         // the stored count, with the transitions flag
    qint32 soundModeField = 0;     // the stored mode, with the full-screen flag
    int imageCount = 0;
    bool transitions = false;
    int viewTime = 0;
    bool loop = false;
    int soundMode = 0;  // 0-8, as the package stores it
    bool fullScreen = false;
    bool manual = false;  // auto play is off
    bool descriptions = false;
    bool encrypt = false;
    bool keyBlocksCarryKey = false;  // the key blocks are not the "0" filler
    QList<qint32> imageLengths;
    QList<quint32> soundEntries;
    QList<qint32> textLengths;

    PackageLayout layout() const { return {stubLength, imageCount}; }
    /// Pictures, stored sounds and texts.
    qint64 payloadLength() const;
    /// The creator's options: auto play the inverse of the manual flag,
    /// modes 7 and 8 as 3 and 4 synchronised.
    PlayerOptions options() const;
};

/// What a package holds, in picture order.
struct PackageContent {
    PackageHeader header;
    QList<QByteArray> images;  // JPEG files
    /// The sound each picture plays, with references resolved; empty when
    /// it has none.
    QList<QByteArray> sounds;
    /// The number of the picture whose stored data each sound is (itself,
    /// or an earlier one for a reference); 0 when there is no sound.
    QList<int> soundOrigins;
    /// Empty where the text length is 0.
    QStringList descriptions;
};

/// The reader's refusals.
QString notRuntimeMessage();         // "Aborting: Not a valid Runtime File"
QString incorrectPasswordMessage();  // "Aborting: Incorrect Password"

}  // namespace runtime
