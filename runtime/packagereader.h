#pragma once

#include "runtime/packageformat.h"

#include <QString>
#include <QStringList>

/// Reads runtime player packages back: the stub's length from the trailer,
/// the header and tables at it, then the enciphered part under the key of
/// the password (or the default one). Every count and length is checked
/// against what the file holds before anything is allocated. Any thread.
namespace runtime {

struct PackageReadResult {
    enum class Status {
        Read,
        NotOpened,          // the file could not be read: `message` says why
        NotRuntime,         // "Aborting: Not a valid Runtime File"
        IncorrectPassword,  // "Aborting: Incorrect Password"
    };
    Status status = Status::NotOpened;
    QString message;
    /// The header always once it was read; the pictures, sounds and
    /// descriptions only from readPackage.
    PackageContent content;

    bool ok() const { return status == Status::Read; }
};

/// The stub length, options and tables. Refused as not a package: a
/// trailer below 100,000 or above 10,000,000; a count field below 0 or of
/// more than kMaxImages pictures; a sound mode beyond 8; a negative picture
/// or text length; a sound reference to the picture itself or a later one;
/// tables, or the data they announce, running past the trailer. A trailer
/// outside 200,000-330,000 is read as 312,320. A count field of 10000 or
/// more means transitions on; a view time outside 0-99 reads as 0.
PackageReadResult readPackageHeader(const QString& path);

/// Everything in the package. The enciphered part is read under the player
/// key text of `password` when the package is encrypted, else under that of
/// the default player password. An encrypted package whose first picture
/// does not start with the JPEG start-of-image marker once deciphered is
/// refused as under an incorrect password.
PackageReadResult readPackage(const QString& path, const QString& password = {});

/// What the importer puts in its temporary folder, by the same names.
struct ExtractedPackage {
    bool ok = false;
    QString message;
    QStringList images;  // picture k in the file named k
    /// Per picture, its sound's file ("zss", k, ".wav"), or empty. With a
    /// sound mode of 0 there are none; in modes other than 3 and 7 only the
    /// first picture with a sound has one.
    QStringList sounds;
    QStringList descriptions;  // empty unless the descriptions option is on
};

/// Writes the pictures and sounds of `content` into `folder`.
ExtractedPackage extractPackage(const PackageContent& content, const QString& folder);

}  // namespace runtime
