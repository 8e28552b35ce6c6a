#include "search/soundcontrols.h"

#include "platform/soundservice.h"

namespace search {

SoundControls soundServiceControls() {
    SoundControls controls;
    controls.playWave = [](const QString& path) {
        return SoundService::instance().playWave(path, SoundService::WaveMode::Async);
    };
    controls.playMidi = [](const QString& path) {
        SoundService& sound = SoundService::instance();
        return sound.openMidi(path) && sound.playMidi();
    };
    controls.stop = [] {
        SoundService& sound = SoundService::instance();
        sound.stopWave();
        sound.stopMidi();
        sound.closeMidi();
    };
    controls.startRecorder = startSoundRecorder;
    return controls;
}

}  // namespace search
