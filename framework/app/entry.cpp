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

namespace {

void PrintUsage(std::FILE* out, const char* program) {
    const char* words = gAppConfig.screenSaver ? "[/c | /p WINDOW | /s]" : gAppConfig.arguments;
    std::fprintf(out, "usage: %s [options]%s%s\n\noptions:\n%s", program, words ? " " : "", words ? words : "",
                 PlatformOptionsHelp());
}

}  // namespace

int KorvenMain(int argc, char** argv) {
    PlatformOptions options;
    std::string error;
    if (!ParsePlatformOptions(&argc, argv, &options, &error)) {
        std::fprintf(stderr, "%s: %s\n\n", argv[0], error.c_str());
        PrintUsage(stderr, argv[0]);
        return 2;
    }
    if (options.help) {
        PrintUsage(stdout, argv[0]);
        return 0;
    }
    if (argc > 1 && !gAppConfig.screenSaver && !gAppConfig.arguments) {
        std::fprintf(stderr, "%s: unexpected argument '%s'\n\n", argv[0], argv[1]);
        PrintUsage(stderr, argv[0]);
        return 2;
    }
    SetProgramArguments(argc, argv);
    if (!PlatformOpen(options, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    return WinMain();
}
