// MCI devices' sound through the mixer's pull sources. The mixer calls Pull
// on its own thread; the device is left alone by the program's thread while
// the source is attached (commands detach it before they jump or halt).
#include "platform/mci/media_audio.h"

#include <algorithm>

#include "platform/dsound/mixer.h"

static_assert(MIXER_RATE == MEDIA_RATE && MIXER_CHANNELS == 2, "devices render the mixer's format");

void MediaAudioStream::Start(MciDevice* device, int64_t frames) {
    Stop();
    device_ = device;
    framesLeft_ = frames;
    source_ = AttachMixerSource(Pull, this);
}

void MediaAudioStream::Stop() {
    if (source_) DetachMixerSource(source_);
    source_ = 0;
}

void MediaAudioStream::Pull(void* context, int16_t* stereo, int frames) {
    auto* stream = static_cast<MediaAudioStream*>(context);
    const int take = static_cast<int>(std::min<int64_t>(frames, stream->framesLeft_));
    if (take > 0) stream->device_->RenderAudio(stereo, take);
    std::fill(stereo + 2 * take, stereo + 2 * frames, int16_t{0});
    stream->framesLeft_ -= take;
}
