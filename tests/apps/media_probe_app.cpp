// A program that plays music, a CD track and a movie as its arguments say and
// reports on the debug output each time the media's state changes:
//   midi=NAME midi-loop=1   a song from the first frame (looping)
//   cd=TRACK cd-loop=1      a CD track from the first frame (looping)
//   movie=NAME@FRAME        a movie from that frame (PlayMovie called twice)
//   pause-cd=FRAME close-midi=FRAME   the program's own pause and close
#include <cstdlib>
#include <string>

#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/dialog/diagnostics.h"
#include "framework/media/media.h"
#include "platform/win/platform.h"

namespace {

int gFrame = 0;
std::string gReported;

std::string Argument(const char* name) {
    const std::string prefix = std::string(name) + "=";
    for (const std::string& arg : GetProgramArguments())
        if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
    return "";
}

int FrameArgument(const char* name) {
    const std::string value = Argument(name);
    return value.empty() ? -1 : std::atoi(value.c_str());
}

const char* State(int opened, int playing) { return !opened ? "closed" : playing ? "playing" : "paused"; }

void Report() {
    const std::string state = std::string("midi=") + State(gMidi.opened, gMidi.playing) +
                              " cd=" + State(gCdAudio.opened, gCdAudio.playing) + " movie=" +
                              State(gMovie.opened, gMovie.playing) + " showing=" + std::to_string(gApp.movieShowing);
    if (state == gReported) return;
    gReported = state;
    DebugLog("frame %d %s\n", gFrame, state.c_str());
}

void PlayFromArguments() {
    if (!Argument("midi").empty())
        DebugLog("PlayMidi=%d\n", PlayMidi(Argument("midi").c_str(), FrameArgument("midi-loop") == 1));
    if (!Argument("cd").empty()) {
        DebugLog("PlayCdTrack=%d\n", PlayCdTrack(FrameArgument("cd"), FrameArgument("cd-loop") == 1));
        DebugLog("span %s-%s\n", gCdAudio.fromPosition, gCdAudio.toPosition);
    }
}

void ProbeFrame() {
    if (gFrame == 0) PlayFromArguments();
    const std::string movie = Argument("movie");
    const size_t at = movie.find('@');
    if (at != std::string::npos && std::atoi(movie.c_str() + at + 1) == gFrame) {
        DebugLog("PlayMovie=%d\n", PlayMovie(movie.substr(0, at).c_str()));
        DebugLog("PlayMovie again=%d\n", PlayMovie(movie.substr(0, at).c_str()));
    }
    if (FrameArgument("pause-cd") == gFrame) DebugLog("PauseCd=%d\n", PauseCd());
    if (FrameArgument("close-midi") == gFrame) DebugLog("CloseMidi=%d\n", CloseMidi());
    Report();
    ++gFrame;
}

int ProbeExit() {
    gReported.clear();
    DebugLog("at exit ");
    Report();
    return 1;
}

void ProbeInit() {
    SetExitProc(ProbeExit);
    SetFrameRate(60);
    SetWindowTitle("media probe");
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = ProbeInit;
    config.frameProc = ProbeFrame;
    config.arguments = "[midi=FILE] [midi-loop=1] [cd=TRACK] [cd-loop=1] [movie=FILE] [pause-cd=F] [close-midi=F]";
    return config;
}();
