#include "runtime/packageformat.h"

namespace runtime {

namespace {

// The part of the package's length that the filler's extra bytes are taken
// from: the plain part, the payload and the filler's own base.
qint64 lengthBeforeExtra(const PackageLayout& layout, qint64 payloadLength) {
    return layout.plainEnd() + kFillerBase + payloadLength;
}

}  // namespace

int fillerLength(const PackageLayout& layout, qint64 payloadLength) {
    // S + 188 + 12n + payload: the plain part (S + 124 + 12n) and 64 bytes.
    return kFillerBase + static_cast<int>(lengthBeforeExtra(layout, payloadLength) & 31);
}

qint64 packageLength(const PackageLayout& layout, qint64 payloadLength) {
    const qint64 cipherLength =
        PackageLayout::roundUp(payloadLength + fillerLength(layout, payloadLength));
    return layout.cipherStart() + cipherLength + kTrailerSize;
}

qint64 PackageHeader::payloadLength() const {
    qint64 total = 0;
    for (qint32 length : imageLengths) {
        total += length;
    }
    for (quint32 entry : soundEntries) {
        total += storedSoundLength(entry);
    }
    for (qint32 length : textLengths) {
        total += length;
    }
    return total;
}

PlayerOptions PackageHeader::options() const {
    PlayerOptions options;
    options.viewTime = viewTime;
    options.autoPlay = !manual;
    options.loop = loop;
    options.fullScreen = fullScreen;
    options.transitions = transitions;
    options.descriptions = descriptions;
    options.encrypt = encrypt;
    setSoundModeFromPackage(&options, soundMode);
    return options;
}

QString notRuntimeMessage() {
    return QStringLiteral("Aborting: Not a valid Runtime File");
}

QString incorrectPasswordMessage() {
    return QStringLiteral("Aborting: Incorrect Password");
}

}  // namespace runtime
