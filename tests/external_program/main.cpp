// The smallest program on the framework: counts its frames and quits after 30.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/image/image.h"

namespace {

int gFrames = 0;

void Frame() {
    if (++gFrames == 30) RequestQuit();
}

int Exit() {
    DebugLog("external program ran %d frames\n", gFrames);
    return 1;
}

void Init() {
    SetExitProc(Exit);
#ifdef HAS_TILE_RESOURCE
    if (LoadBitmapImage(1, "TILE", 0)) DebugLog("external program loaded its bitmap resource\n");
#endif
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.require16Bit = 0;
    config.fullScreen = 0;
    config.allowMultipleInstances = 1;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
