// Music, CD audio and movies through MCI command strings, the directory media
// and model names are resolved against, and the group operations the window
// procedure drives.
#pragma once

struct MidiState {
    int opened;   // the alias MIDI is open
    int looping;  // play again from the start when the song ends
    int playing;  // playing (1) or paused (0)
};

struct CdAudioState {
    int opened;
    int looping;
    int playing;
    char fromPosition[16];  // start of the track, as MCI answered it
    char toPosition[16];    // end of the track (next track's start or the disc length)
};

struct MovieState {
    int opened;
    int playing;
};

extern MidiState gMidi;
extern CdAudioState gCdAudio;
extern MovieState gMovie;

// The directory (no trailing backslash) that media and model names are joined
// to with "%s\\%s": the working directory, or the program's own folder when
// the framework runs as a screen saver. buffer holds at least 256 chars.
void GetAppDirectory(char* buffer);

int PlayMidi(const char* name, int loop);
int PauseMidi();
int ResumeMidi();
int CloseMidi();
int IsMidiPlaying();

int PlayCdTrack(int track, int loop);
int PauseCd();
int ResumeCd();
int CloseCd();
int IsCdPlaying();

int PlayMovie(const char* name);
int PauseMovie();
int ResumeMovie();
int CloseMovie();
int IsMoviePlaying();

void PauseAllMedia();
void ResumeAllMedia();
void CloseAllMedia();
void OnMciNotify();
