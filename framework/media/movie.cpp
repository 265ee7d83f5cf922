// Movies: one at a time under the alias MOVIE, shown in the main window and
// played once. While one shows, the frame loop leaves the screen to it.
#include <cstdio>

#include "framework/app/app.h"
#include "framework/display/display.h"
#include "framework/media/media.h"
#include "platform/mci/mci.h"

MovieState gMovie;

int PlayMovie(const char* name) {
    if (gMovie.opened || gMovie.playing) return 0;
    char directory[256];
    GetAppDirectory(directory);
    char command[308];
    std::snprintf(command, sizeof(command), "open \"%s\\%s\" alias MOVIE", directory, name);
    if (mciSendStringA(command, nullptr, 0, nullptr) != 0) return 0;
    gApp.movieShowing = 1;
    if (IDirectDraw* device = GetDirectDraw()) device->FlipToGDISurface();
    std::snprintf(command, sizeof(command), "window MOVIE handle %d state show",
                  static_cast<int>(reinterpret_cast<intptr_t>(gApp.hWnd)));
    mciSendStringA(command, nullptr, 0, nullptr);
    mciSendStringA("put MOVIE destination", nullptr, 0, nullptr);
    mciSendStringA("realize MOVIE normal", nullptr, 0, nullptr);
    mciSendStringA("play MOVIE from 0 notify", nullptr, 0, gApp.hWnd);
    gMovie.playing = 1;
    gMovie.opened = 1;
    return 1;
}

int PauseMovie() {
    if (!gMovie.opened || gMovie.playing != 1) return 0;
    mciSendStringA("stop MOVIE", nullptr, 0, nullptr);
    gMovie.playing = 0;
    return 1;
}

int ResumeMovie() {
    if (!gMovie.opened || gMovie.playing != 0) return 0;
    mciSendStringA("play MOVIE notify", nullptr, 0, gApp.hWnd);
    gMovie.playing = 1;
    return 1;
}

int CloseMovie() {
    if (!gMovie.opened) return 0;
    if (mciSendStringA("stop MOVIE", nullptr, 0, nullptr) == 0) gMovie.playing = 0;
    if (mciSendStringA("close MOVIE", nullptr, 0, nullptr) == 0) gMovie.opened = 0;
    gApp.movieShowing = 0;
    return 1;
}

int IsMoviePlaying() { return gMovie.playing; }
