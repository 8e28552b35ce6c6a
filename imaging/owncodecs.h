#pragma once

// Internal: the codecs of our own (imaging/codecs/) as the dispatcher sees
// them.

#include "imaging/codec.h"
#include "imaging/codecs/owncodec.h"

#include <optional>

namespace imaging::detail {

struct OwnCodecEntry {
    int format;  // the main library's code (the second library's for its formats)
    const OwnCodec* codec;
};

/// The main-library format among our own readers that `head` is, if any.
/// GEM pictures have a weak mark, so they are also judged by their name.
std::optional<OwnCodecEntry> ownCodecFor(QByteArrayView head, const QString& path);
/// Our own writer for a main-library format code, or null.
const OwnCodecEntry* ownCodecForSaving(int format);
/// The second library's formats among our own codecs.
std::optional<OwnCodecEntry> ownSecondCodecFor(QByteArrayView head);
const OwnCodecEntry* ownSecondCodecForSaving(int secondFormat);

int ownCodecInfo(const OwnCodec& codec, Input& input, FileInfo* info);
int ownCodecLoad(const OwnCodec& codec, Input& input, const LoadRequest& request,
                 ImageHandle* handle);
int ownCodecSave(const OwnCodec& codec, const ImageHandle& handle, const SaveRequest& request,
                 QByteArray* out);

}  // namespace imaging::detail
