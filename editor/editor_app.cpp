// The editor's configuration and hooks: the framework calls AppInit once
// after its own set-up and EditorFrame once per frame.
#include "editor/editor.h"
#include "editor/stage_set.h"
#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/input/input.h"

const AppConfig gAppConfig = {
    .iconName = "ICON1",
    .require16Bit = 1,
    .fullScreen = 1,
    .windowWidth = 640,
    .windowHeight = 480,
    .device3D = -1,
    .noModeToggle = 0,
    .modeX = 0,
    .screenSaver = 0,
    .previewBitmap = "",
    .allowMultipleInstances = 0,
    .configureMode = 0,
    .appInit = AppInit,
    .appConfigure = AppConfigure,
    .frameProc = EditorFrame,
};

void AppInit() {
    SetFrameRate(60);
    SetWindowTitle("!Quib edit");
    SetExitProc(SaveStageFiles);
    EnableMouse(1);
}

void AppConfigure() {}

void EditorFrame() {}
