#include "runtime/playerproject.h"

namespace runtime {

int packageSoundMode(const PlayerOptions& options) {
    if (options.synchronise && options.soundMode == kVariousSounds) {
        return kVariousSoundsSynchronised;
    }
    if (options.synchronise && options.soundMode == kSameSound) {
        return kSameSoundSynchronised;
    }
    return options.soundMode;
}

void setSoundModeFromPackage(PlayerOptions* options, int packageMode) {
    if (packageMode == kVariousSoundsSynchronised) {
        options->soundMode = kVariousSounds;
        options->synchronise = true;
    } else if (packageMode == kSameSoundSynchronised) {
        options->soundMode = kSameSound;
        options->synchronise = true;
    } else {
        options->soundMode = packageMode;
        options->synchronise = false;
    }
}

bool mayCarrySound(int packageMode, int number) {
    if (packageMode == kNoSound) {
        return false;
    }
    return packageMode == kVariousSounds || packageMode == kVariousSoundsSynchronised ||
           number == 1;
}

}  // namespace runtime
