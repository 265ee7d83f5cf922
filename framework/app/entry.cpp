// The entry procedure: start-up in its fixed order, the frame loop, and the
// process entry that opens the platform around them.
#include <cstdio>
#include <string>

#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/app/main_window.h"
#include "framework/display/display.h"
#include "framework/draw/gdi_draw.h"
#include "framework/draw/transitions.h"
#include "framework/image/image.h"
#include "framework/input/input.h"
#include "framework/scene3d/scene3d.h"
#include "framework/sound/sound.h"
#include "platform/win/platform.h"

namespace {

// The frame procedure of a program that supplies none: its frames only present.
void EmptyFrame() {}

void RunFrameLoop() {
    while (PumpMessages()) {
        if (gApp.active) {
            PollInput();
            gApp.frameProc();
            PresentFrame();
            WaitNextFrame();
        } else {
            WaitMessage();
        }
    }
}

}  // namespace

int InitFramework() {
    CreateWorkBuffer();
    InitJoysticks();
    ResetStopwatches();
    SetFrameRate(20);
    SetQuitKey(VK_ESCAPE);
    ClearScreen(0);
    SetTextFont(8, 16, 0xFFFFFF, "標準ゴシック");
    ResetDissolve(1);
    SetFrameProc(gAppConfig.frameProc ? gAppConfig.frameProc : EmptyFrame);
    gApp.active = 1;
    return 1;
}

int PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

int WinMain() {
    InitFrameworkState();
    if (!CreateMainWindow()) return 0;
    if (!InitDisplay()) return 0;
    if (gApp.enable3D && !Init3D()) return 0;
    if (!CreateSoundDevice()) return 0;
    if (!InitFramework()) return 0;
    if (gAppConfig.configureMode) {
        if (gAppConfig.appConfigure) gAppConfig.appConfigure();
        return 0;
    }
    if (gAppConfig.appInit) gAppConfig.appInit();
    RunFrameLoop();
    return 0;
}

int KorvenMain(int argc, char** argv) {
    PlatformOptions options;
    std::string error;
    if (!ParsePlatformOptions(&argc, argv, &options, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        std::fprintf(stderr,
                     "platform options: --backend=sdl2|headless --headless --script=FILE --capture-dir=DIR\n"
                     "  --log=FILE --scale=N --desktop-depth=16|32 --max-frames=N --clock-start=MS --trace\n"
                     "  --single-instance\n");
        return 2;
    }
    SetProgramArguments(argc, argv);
    if (!PlatformOpen(options, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    return WinMain();
}
