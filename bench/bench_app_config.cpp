// The application configuration of the benchmark programs that are not the
// editor: full screen at 16 bits, no hooks.
#include "framework/app/app.h"

const AppConfig gAppConfig = {
    .iconName = "",
    .require16Bit = 1,
    .fullScreen = 1,
    .windowWidth = 640,
    .windowHeight = 480,
    .device3D = -1,
    .noModeToggle = 0,
    .modeX = 0,
    .screenSaver = 0,
    .previewBitmap = "",
    .allowMultipleInstances = 1,
    .configureMode = 0,
    .appInit = nullptr,
    .appConfigure = nullptr,
    .frameProc = nullptr,
};
