// A small program on the framework that reports what happens to it on the
// debug output, for the whole-program tests. Arguments:
//   refuse-close=N  the exit procedure refuses the first N requests
//   quit-at=F       the frame procedure calls RequestQuit in frame F
// Built also in configure mode and as a screen saver (/c, /p <window>, /s).
#include <cstdlib>
#include <string>

#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/dialog/diagnostics.h"
#include "framework/media/media.h"
#include "platform/win/platform.h"

namespace {

int gFrames = 0;
int gRefusalsLeft = 0;
int gQuitAt = -1;

int ArgumentValue(const char* name, int fallback) {
    const std::string prefix = std::string(name) + "=";
    for (const std::string& arg : GetProgramArguments())
        if (arg.rfind(prefix, 0) == 0) return std::atoi(arg.c_str() + prefix.size());
    return fallback;
}

int ProbeExit() {
    DebugLog("exit asked after %d frames\n", gFrames);
    if (gRefusalsLeft > 0) {
        --gRefusalsLeft;
        return 0;
    }
    return 1;
}

void ProbeInit() {
    DebugLog("AppInit rate=%u quit=%u active=%d window=%d\n", gApp.frameRate, gApp.quitKey, gApp.active,
             gApp.hWnd != nullptr);
    gRefusalsLeft = ArgumentValue("refuse-close", 0);
    gQuitAt = ArgumentValue("quit-at", -1);
    char directory[256];
    GetAppDirectory(directory);
    DebugLog("app directory=%s\n", directory);
    SetFrameRate(60);
    SetWindowTitle("probe");
    SetExitProc(ProbeExit);
}

void ProbeConfigure() { DebugLog("AppConfigure\n"); }

void ProbeFrame() {
    if (gFrames == gQuitAt) RequestQuit();
    ++gFrames;
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.screenSaver = PROBE_SCREEN_SAVER;
    config.previewBitmap = PROBE_SCREEN_SAVER ? "PROBETILE" : "";
    config.configureMode = PROBE_CONFIGURE_MODE;
    config.appInit = ProbeInit;
    config.appConfigure = ProbeConfigure;
    config.frameProc = ProbeFrame;
    return config;
}();
