#pragma once

#include "search/searchdirdialog.h"

namespace search {

/// The sound choosers' controls over the program's sound service: waves
/// play asynchronously, MIDI files through the sequencer, Stop ends both,
/// and Record starts the sound recorder found on the system.
SoundControls soundServiceControls();

}  // namespace search
