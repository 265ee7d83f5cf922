// The media as a group, as the window procedure drives them: pause, resume
// and close everything, and the end of a piece reported by MCI.
#include <cstring>

#include "framework/media/media.h"
#include "framework/media/media_internal.h"
#include "framework/media/mod_music.h"
#include "platform/mci/mci.h"

void PauseAllMedia() {
    PauseMidi();
    PauseCd();
    PauseMod();
    PauseMovie();
}

void ResumeAllMedia() {
    ResumeMidi();
    ResumeCd();
    ResumeMod();
    ResumeMovie();
}

void CloseAllMedia() {
    CloseMidi();
    CloseCd();
    CloseMod();
    CloseMovie();
}

// One answer buffer for the three queries: after a failed query it still holds
// the previous answer, which the end handlers' guards make harmless.
void OnMciNotify() {
    char mode[32];
    std::memset(mode, 0, sizeof(mode));
    mciSendStringA("status MIDI mode", mode, sizeof(mode), nullptr);
    if (std::strncmp(mode, "st", 2) == 0) OnMidiEnd();
    mciSendStringA("status cdaudio mode", mode, sizeof(mode), nullptr);
    if (std::strncmp(mode, "st", 2) == 0) OnCdEnd();
    mciSendStringA("status MOVIE mode", mode, sizeof(mode), nullptr);
    if (std::strncmp(mode, "st", 2) == 0) CloseMovie();
}
