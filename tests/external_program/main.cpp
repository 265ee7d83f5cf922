// The smallest program on the framework: counts its frames and quits after 30.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"

namespace {

int gFrames = 0;

void Frame() {
    if (++gFrames == 30) RequestQuit();
}

int Exit() {
    DebugLog("external program ran %d frames\n", gFrames);
    return 1;
}

void Init() { SetExitProc(Exit); }

}  // namespace

const AppConfig gAppConfig = {
    .iconName = "",
    .require16Bit = 0,
    .fullScreen = 0,
    .windowWidth = 640,
    .windowHeight = 480,
    .device3D = -1,
    .noModeToggle = 0,
    .modeX = 0,
    .screenSaver = 0,
    .previewBitmap = "",
    .allowMultipleInstances = 1,
    .configureMode = 0,
    .appInit = Init,
    .appConfigure = nullptr,
    .frameProc = Frame,
};
