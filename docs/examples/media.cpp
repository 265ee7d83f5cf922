// Music, CD audio and movies: a short MIDI song written here and played
// looping, track 1 of the CD (a disc image with --cd-image=FILE.cue), and a
// movie when one named movie.avi is in the working directory. The window's
// deactivation pauses all of them and its activation resumes them.
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <vector>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/media/media.h"

namespace {

int gFrames = 0;

// A format 0 MIDI file: one track, 120 beats a minute, four quarter notes
// (96 ticks each) of an acoustic grand piano.
void WriteSong(const char* path) {
    std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo: 500,000 us a beat
                                  0x00, 0xC0, 0x00};                         // program 0 on channel 1
    for (uint8_t note : {60, 64, 67, 72}) {
        const uint8_t on[] = {0x00, 0x90, note, 100, 0x60, 0x80, note, 0};  // on, 96 ticks, off
        track.insert(track.end(), std::begin(on), std::end(on));
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});  // end of track
    const uint8_t header[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k',
                              0, 0, static_cast<uint8_t>(track.size() >> 8), static_cast<uint8_t>(track.size())};
    if (FILE* file = std::fopen(path, "wb")) {
        std::fwrite(header, 1, sizeof header, file);
        std::fwrite(track.data(), 1, track.size(), file);
        std::fclose(file);
    }
}

void Init() {
    WriteSong("song.mid");
    // Names are joined to the working directory (GetAppDirectory) with a backslash.
    if (!PlayMidi("song.mid", 1)) DebugLog("the song did not load\n");
    // Without a drive or a disc image this logs "ＣＤが再生できません" and gives 0.
    if (PlayCdTrack(1, 0)) DebugLog("CD track 1: %s to %s\n", gCdAudio.fromPosition, gCdAudio.toPosition);
    // The movie covers the window (the back buffer is not shown meanwhile) and
    // closes itself at its end; a missing file gives 0 without a message.
    PlayMovie("movie.avi");
}

void Frame() {
    if (gFrames == 60) PauseMidi();   // keeps the song open where it is
    if (gFrames == 90) ResumeMidi();  // and goes on from there
    if (++gFrames == 180) {
        DebugLog("MIDI %s, CD %s, movie %s\n", IsMidiPlaying() ? "playing" : "stopped",
                 IsCdPlaying() ? "playing" : "stopped", IsMoviePlaying() ? "playing" : "stopped");
        RequestQuit();  // closing the window closes all media
    }
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
