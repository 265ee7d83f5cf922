// Music, CD audio and movies: the showcase's MIDI song looping from the
// moment the page comes up, the tracks of its CD image, and its short movie,
// each with its state. Leaving the window pauses all of them and coming back
// resumes them.
//   1 2 3 play a CD track   C close the CD   M pause or resume the song
//   V play the movie   X close it
#include "examples/showcase/showcase.h"
#include "framework/draw/gdi_draw.h"
#include "framework/input/input.h"
#include "framework/media/media.h"
#include "framework/media/mod_music.h"

namespace {

int gTrack = 0;        // the last track asked for, 0 before any
int gTrackResult = 1;  // what PlayCdTrack answered for it
int gMovieResult = 1;

const char* State(int opened, int playing) { return !opened ? "closed" : playing ? "playing" : "paused"; }

// One piece of music at a time: the tracker module of the sound page stops.
void EnterMusic() {
    CloseMod();
    if (!gMidi.opened) PlayMidi(DataFileFromWorkingDirectory("song.mid").c_str(), 1);
}

void HandleKeys() {
    for (int track = 1; track <= 3; ++track)
        if (KeyState('0' + track) == KEY_PRESSED) gTrackResult = PlayCdTrack(gTrack = track, 0);
    if (KeyState('C') == KEY_PRESSED) CloseCd();
    if (KeyState('M') == KEY_PRESSED && !PauseMidi()) ResumeMidi();
    if (KeyState('V') == KEY_PRESSED) gMovieResult = PlayMovie(DataFileFromWorkingDirectory("movie.avi").c_str());
    if (KeyState('X') == KEY_PRESSED) CloseMovie();
}

void MusicFrame(int) {
    HandleKeys();
    DrawBackdrop();
    PrintText(16, 36, "1 2 3 CD track   C close CD   M song pause/resume   V movie   X close movie");
    PrintText(16, 56, "leave the window: everything pauses; come back: it goes on");
    PrintText(16, 100, "MIDI   song.mid, 16 channels, looping   %s", State(gMidi.opened, gMidi.playing));
    if (!gTrackResult)
        PrintText(16, 128, "CD     track %d: no disc (start with --cd-image=showcase-data/tones.cue)", gTrack);
    else if (gCdAudio.opened)
        PrintText(16, 128, "CD     track %d of tones.cue, %s to %s   %s", gTrack, gCdAudio.fromPosition,
                  gCdAudio.toPosition, State(gCdAudio.opened, gCdAudio.playing));
    else
        PrintText(16, 128, "CD     %s", State(0, 0));
    PrintText(16, 156, "movie  movie.avi, 640 x 480   %s", gMovieResult ? State(gMovie.opened, gMovie.playing) : "did not open");
}

}  // namespace

const ShowcasePage kMusicPage = {"Music, CD audio and movies", EnterMusic, MusicFrame};
