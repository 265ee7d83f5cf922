// WAVE sounds: the input as a file (the RIFF file calls find the chunks) and
// as a "WAVE" resource of the program (the in-memory walk), each loaded into
// a slot and, when it loads, played through the mixer for a moment.
#include <cstdlib>

#include "framework/sound/sound.h"
#include "platform/dsound/mixer.h"
#include "platform/win/resources.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The resource the walk reads; it points at each input in turn.
ResourceData gInputResource{"FUZZWAVE", "WAVE", nullptr, 0};

void LoadAndPlay(int slot, const char* name) {
    if (!LoadWave(slot, name)) return;
    StartSoundRecording();
    PlayWave(slot, 0);
    Sleep(5);
    TakeSoundRecording();
    StopWave(slot);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = [] {
        StartHeadlessFramework();
        RegisterResources(&gInputResource, 1);
        if (CreateSoundDevice() != 1) std::abort();
        return true;
    }();
    (void)started;
    LoadAndPlay(1, InputFile(data, size, "input.wav").c_str());
    gInputResource.data = data;
    gInputResource.size = size;
    LoadAndPlay(2, gInputResource.name);
    return 0;
}
