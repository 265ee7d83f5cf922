// SDL2 audio: 44,100 Hz signed 16-bit stereo (SDL converts when the device
// wants something else), 512-frame blocks for a short way to the speaker.
#include "platform/dsound/sdl2_audio_output.h"

#include <SDL.h>
#include <dlfcn.h>

#include "platform/dsound/mixer.h"

namespace {

SDL_AudioDeviceID gDevice = 0;

void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// SDL opens ALSA at run time, and ALSA prints its own lines to stderr for a
// machine without a sound card. Why no device opened is told once, in our
// log; the library's handler is replaced before SDL loads it (the library
// stays loaded, so SDL's later load gets this instance with this handler).
void QuietAlsaMessages() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    static void* const alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa) return;
    if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(IgnoreAlsaMessage);
}

void PullMix(void*, Uint8* stream, int bytes) {
    RenderMix(reinterpret_cast<int16_t*>(stream), bytes / static_cast<int>(MIXER_CHANNELS * sizeof(int16_t)));
}

}  // namespace

bool OpenSdl2AudioOutput(std::string* why) {
    QuietAlsaMessages();
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
