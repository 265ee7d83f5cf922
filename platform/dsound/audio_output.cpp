// Chooses the output for the backend and options in use: the virtual clock on
// the headless backend, SDL2 audio on the desktop, and the real-time clock
// alone when the desktop has no audio output or --audio=none asks for none.
#include "platform/dsound/audio_output.h"

#include <string>

#include "platform/dsound/clock_output.h"
#include "platform/dsound/mixer.h"
#include "platform/dsound/sdl2_audio_output.h"
#include "platform/win/debug_output.h"
#include "platform/win/headless/headless_backend.h"
#include "platform/win/platform.h"

namespace {

enum class Output { None, VirtualClock, Sdl2, RealTimeClock };
Output gOutput = Output::None;
int gOpenCount = 0;

void SayNoAudioOnce(const std::string& why) {
    static bool said = false;
    if (said) return;
    said = true;
    WriteDebugText("sound: no audio output (" + why + "); mixing against the clock, the samples go nowhere\n");
}

}  // namespace

void OpenAudioOutput() {
    if (gOpenCount++ > 0) return;
    const PlatformOptions& options = GetPlatformOptions();
    if (options.backend == "headless") {
        OpenVirtualClockOutput(options.audioOutPath);
        HeadlessSetSoundLossHandler(LoseSoundBuffers);
        gOutput = Output::VirtualClock;
        return;
    }
    std::string why = "--audio=none";
    if (!options.audioNone && OpenSdl2AudioOutput(&why)) {
        gOutput = Output::Sdl2;
        return;
    }
    SayNoAudioOnce(why);
    OpenRealTimeClockOutput();
    gOutput = Output::RealTimeClock;
}

void CloseAudioOutput() {
    if (gOpenCount == 0 || --gOpenCount > 0) return;
    switch (gOutput) {
        case Output::VirtualClock:
            HeadlessSetSoundLossHandler(nullptr);
            CloseVirtualClockOutput();
            break;
        case Output::Sdl2: CloseSdl2AudioOutput(); break;
        case Output::RealTimeClock: CloseRealTimeClockOutput(); break;
        case Output::None: break;
    }
    gOutput = Output::None;
}
