// SDL2 audio: 44,100 Hz signed 16-bit stereo (SDL converts when the device
// wants something else), 512-frame blocks for a short way to the speaker.
#include "platform/dsound/sdl2_audio_output.h"

#include <SDL.h>

#include "platform/dsound/mixer.h"

namespace {

SDL_AudioDeviceID gDevice = 0;

void PullMix(void*, Uint8* stream, int bytes) {
    RenderMix(reinterpret_cast<int16_t*>(stream), bytes / static_cast<int>(MIXER_CHANNELS * sizeof(int16_t)));
}

}  // namespace

bool OpenSdl2AudioOutput(std::string* why) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *why = SDL_GetError();
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = MIXER_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = MIXER_CHANNELS;
    want.samples = MIXER_DEVICE_FRAMES;
    want.callback = PullMix;
    SDL_AudioSpec have{};
    gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (gDevice == 0) {
        *why = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(gDevice, 0);
    return true;
}

void CloseSdl2AudioOutput() {
    if (gDevice == 0) return;
    SDL_CloseAudioDevice(gDevice);
    gDevice = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
