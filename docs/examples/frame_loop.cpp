// The smallest complete program: a configuration, a start-up hook, a frame
// procedure called 30 times a second, and an exit procedure.
#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/dialog/diagnostics.h"
#include "framework/draw/gdi_draw.h"

namespace {

int gFrames = 0;

void Init() {
    SetFrameRate(30);
    SetWindowTitle("Frame loop");
}

void Frame() {
    ClearScreen(0x00402000);  // colours are 0x00BBGGRR
    PrintText(20, 20, "frame %d", gFrames);
    DrawFrameRate(560, 4);
    if (++gFrames == 90) RequestQuit();  // three seconds, then close as if by the close box
}

int Exit() {
    DebugLog("ran %d frames\n", gFrames);
    return 1;  // 1 lets the window close; 0 keeps the program running
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = [] { Init(), SetExitProc(Exit); };
    config.frameProc = Frame;
    return config;
}();
