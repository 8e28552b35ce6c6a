#pragma once

// Internal: Encapsulated PostScript drawn by Ghostscript (run as its own
// process, in its safe mode, with a time limit) at the file-option
// record's resolution.

#include "imaging/codec.h"

namespace imaging::detail {

bool isEps(QByteArrayView head);
int epsInfo(Input& input, FileInfo* info);
int epsLoad(Input& input, const LoadRequest& request, ImageHandle* handle);
/// Whether Ghostscript is installed.
bool ghostscriptAvailable();

}  // namespace imaging::detail
