// The mixer: every buffer and attached source summed in float, in blocks, and
// saturated to 16 bits.
#include "platform/dsound/mixer.h"

#include <algorithm>
#include <vector>

#include "platform/dsound/mix_kernels.h"
#include "platform/dsound/mixer_voices.h"
#include "platform/dsound/sound_buffer.h"

namespace {

constexpr int BLOCK_FRAMES = 256;

struct PullSource {
    int id;
    MixerPullSource source;
    void* context;
};

struct MixerState {
    std::mutex lock;
    std::vector<SoundBuffer*> voices;
    std::vector<PullSource> sources;
    int nextSourceId = 1;
    bool recording = false;
    std::vector<int16_t> recorded;
};

MixerState& gMixer = *new MixerState;  // buffers may be released by static destructors

void AddSources(float* accumulator, int frames) {
    int16_t pulled[BLOCK_FRAMES * MIXER_CHANNELS];
    for (const PullSource& s : gMixer.sources) {
        s.source(s.context, pulled, frames);
        for (int i = 0; i < frames * MIXER_CHANNELS; ++i) accumulator[i] += pulled[i];
    }
}

}  // namespace

std::mutex& MixerLock() { return gMixer.lock; }

void AddMixerVoice(SoundBuffer* buffer) { gMixer.voices.push_back(buffer); }

void RemoveMixerVoice(SoundBuffer* buffer) {
    gMixer.voices.erase(std::remove(gMixer.voices.begin(), gMixer.voices.end(), buffer), gMixer.voices.end());
}

int AttachMixerSource(MixerPullSource source, void* context) {
    std::lock_guard lock(gMixer.lock);
    const int id = gMixer.nextSourceId++;
    gMixer.sources.push_back({id, source, context});
    return id;
}

void DetachMixerSource(int id) {
    std::lock_guard lock(gMixer.lock);
    std::erase_if(gMixer.sources, [id](const PullSource& s) { return s.id == id; });
}

void LoseSoundBuffers() {
    std::lock_guard lock(gMixer.lock);
    for (SoundBuffer* buffer : gMixer.voices) buffer->Lose();
}

void StartSoundRecording() {
    std::lock_guard lock(gMixer.lock);
    gMixer.recording = true;
    gMixer.recorded.clear();
}

std::vector<int16_t> TakeSoundRecording() {
    std::lock_guard lock(gMixer.lock);
    std::vector<int16_t> taken;
    taken.swap(gMixer.recorded);
    return taken;
}

void RenderMix(int16_t* stereo, int frames) {
    std::lock_guard lock(gMixer.lock);
    float accumulator[BLOCK_FRAMES * MIXER_CHANNELS];
    for (int done = 0; done < frames;) {
        const int count = std::min(BLOCK_FRAMES, frames - done);
        std::fill(accumulator, accumulator + count * MIXER_CHANNELS, 0.0f);
        for (SoundBuffer* voice : gMixer.voices) voice->MixInto(accumulator, count);
        AddSources(accumulator, count);
        int16_t* out = stereo + done * MIXER_CHANNELS;
        SaturateToS16(accumulator, out, count * MIXER_CHANNELS);
        if (gMixer.recording) gMixer.recorded.insert(gMixer.recorded.end(), out, out + count * MIXER_CHANNELS);
        done += count;
    }
}
