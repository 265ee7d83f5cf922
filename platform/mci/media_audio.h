// A playing device's sound in the process's one mixer, beside the sound
// effects: from Start to Stop the mixer pulls the device's audio, up to the
// end of the run and silence after it.
#pragma once

#include <cstdint>

#include "platform/mci/mci_device.h"

class MediaAudioStream {
public:
    MediaAudioStream() = default;
    MediaAudioStream(const MediaAudioStream&) = delete;
    MediaAudioStream& operator=(const MediaAudioStream&) = delete;
    ~MediaAudioStream() { Stop(); }

    // The device's audio cursor must stand where the run starts.
    void Start(MciDevice* device, int64_t frames);
    // Once it returns the mixer no longer touches the device.
    void Stop();

private:
    static void Pull(void* context, int16_t* stereo, int frames);
    MciDevice* device_ = nullptr;
    int64_t framesLeft_ = 0;  // read and written by the mixer while attached
    int source_ = 0;
};
