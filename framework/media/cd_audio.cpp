// CD audio: one track at a time on the cdaudio device, from its start to the
// next track's start (or the end of the disc), looping on the end
// notification when asked to. The positions are kept as the text MCI gave.
#include <cstdio>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/media/media.h"
#include "framework/media/media_internal.h"
#include "platform/mci/mci.h"

CdAudioState gCdAudio;

namespace {

void PlayStoredSpan() {
    char command[64];
    std::snprintf(command, sizeof(command), "play cdaudio from %s to %s notify", gCdAudio.fromPosition,
                  gCdAudio.toPosition);
    mciSendStringA(command, nullptr, 0, gApp.hWnd);
}

}  // namespace

int PlayCdTrack(int track, int loop) {
    if (gCdAudio.opened) CloseCd();
    if (mciSendStringA("open cdaudio", nullptr, 0, nullptr) != 0) {
        DebugLog("ＣＤが再生できません\n");
        return 0;
    }
    char command[64];
    std::snprintf(command, sizeof(command), "status cdaudio position track %d", track);
    mciSendStringA(command, gCdAudio.fromPosition, sizeof(gCdAudio.fromPosition), nullptr);
    std::snprintf(command, sizeof(command), "status cdaudio position track %d", track + 1);
    if (mciSendStringA(command, gCdAudio.toPosition, sizeof(gCdAudio.toPosition), nullptr) != 0)
        mciSendStringA("status cdaudio length", gCdAudio.toPosition, sizeof(gCdAudio.toPosition), nullptr);
    PlayStoredSpan();
    gCdAudio.opened = 1;
    gCdAudio.playing = 1;
    gCdAudio.looping = loop != 0;
    return 1;
}

int PauseCd() {
    if (!gCdAudio.opened || gCdAudio.playing != 1) return 0;
    mciSendStringA("stop cdaudio", nullptr, 0, nullptr);
    gCdAudio.playing = 0;
    return 1;
}

int ResumeCd() {
    if (!gCdAudio.opened || gCdAudio.playing != 0) return 0;
    mciSendStringA("play cdaudio notify", nullptr, 0, gApp.hWnd);
    gCdAudio.playing = 1;
    return 1;
}

int OnCdEnd() {
    if (!gCdAudio.opened || gCdAudio.playing != 1) return 0;
    if (gCdAudio.looping) PlayStoredSpan();
    else CloseCd();
    return 1;
}

int CloseCd() {
    if (!gCdAudio.opened) return 0;
    mciSendStringA("stop cdaudio", nullptr, 0, nullptr);
    mciSendStringA("close cdaudio", nullptr, 0, nullptr);
    gCdAudio.playing = 0;
    gCdAudio.opened = 0;
    return 1;
}

int IsCdPlaying() { return gCdAudio.playing; }
