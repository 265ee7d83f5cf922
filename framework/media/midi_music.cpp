// Background music: one MIDI song at a time under the alias MIDI, looping on
// the end notification when asked to.
#include <cstdio>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/media/media.h"
#include "framework/media/media_internal.h"
#include "platform/mci/mci.h"

MidiState gMidi;

int PlayMidi(const char* name, int loop) {
    if (gMidi.opened) CloseMidi();  // a paused song too (see CloseMidi)
    char directory[256];
    GetAppDirectory(directory);
    char command[308];
    std::snprintf(command, sizeof(command), "open \"%s\\%s\" type sequencer alias MIDI", directory, name);
    if (mciSendStringA(command, nullptr, 0, nullptr) != 0) {
        DebugLog("MIDI[%s%s]のオープンに失敗しました\n", directory, name);
        return 0;
    }
    mciSendStringA("play MIDI from 0 notify", nullptr, 0, gApp.hWnd);
    gMidi.opened = 1;
    gMidi.playing = 1;
    gMidi.looping = loop != 0;
    return 1;
}

int PauseMidi() {
    if (!gMidi.opened || gMidi.playing != 1) return 0;
    mciSendStringA("stop MIDI", nullptr, 0, nullptr);
    gMidi.playing = 0;
    return 1;
}

int ResumeMidi() {
    if (!gMidi.opened || gMidi.playing != 0) return 0;
    mciSendStringA("play MIDI notify", nullptr, 0, gApp.hWnd);
    gMidi.playing = 1;
    return 1;
}

int OnMidiEnd() {
    if (!gMidi.opened || gMidi.playing != 1) return 0;
    if (gMidi.looping) mciSendStringA("play MIDI from 0 notify", nullptr, 0, gApp.hWnd);
    else CloseMidi();
    return 1;
}

// A paused song is closed too: a program that closes its music, or opens
// another song, means the paused one as well, and the window's destruction
// must not leave the alias MIDI open.
int CloseMidi() {
    if (!gMidi.opened) return 0;
    mciSendStringA("stop MIDI", nullptr, 0, nullptr);
    mciSendStringA("close MIDI", nullptr, 0, nullptr);
    gMidi.playing = 0;
    gMidi.opened = 0;
    return 1;
}

int IsMidiPlaying() { return gMidi.playing; }
