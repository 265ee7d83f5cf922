// The framework state record, the application's build-time configuration, the
// sine table, and the setters and hooks an application uses.
#pragma once

#include <cstdint>

#include "platform/win/win.h"

using FrameProc = void (*)();
using ExitProc = int (*)();

struct AppState {
    HINSTANCE hInstance;
    HWND hWnd;
    RECT clientRect;
    uint32_t frameRate;
    float measuredFrameRate;
    uint16_t quitKey;
    int mouseMoved;
    int active;
    int modal;
    int quitting;
    int mouseEnabled;
    int joystickEnabled;
    int movieShowing;
    int enable3D;
    int device3DFound;
    // Text settings read by PrintText.
    int textBkMode;
    uint32_t textColor;
    uint32_t textBkColor;
    int fontHeight;
    int fontWidth;
    int textCentered;
    char fontFace[32];
    int fadeLevel;
    int listSelection;
    FrameProc frameProc;
    ExitProc exitProc;
};

struct AppConfig {
    char iconName[64];
    int require16Bit;
    int fullScreen;
    int windowWidth;
    int windowHeight;
    int device3D;
    int linearTextureFilter;  // 1: textures filtered linearly, else mip-mapped
    int noModeToggle;
    int modeX;
    int screenSaver;
    const char* previewBitmap;
    int allowMultipleInstances;
    int configureMode;
    // The words the program takes on its command line, for its usage text; null
    // when it takes none, and then a stray word is an error. A screen saver's
    // words are the framework's own.
    const char* arguments;
    // The application's hooks and its frame procedure.
    void (*appInit)();
    void (*appConfigure)();
    FrameProc frameProc;
};

// The picture's size: the display mode, the work buffer and the screen that
// transitions cover.
constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;

// The configuration programs start from: 640 x 480 full screen at 16 bits, no
// 3D, one running instance, the standard icon; the hooks are the program's.
constexpr AppConfig DEFAULT_APP_CONFIG = {
    .iconName = "",
    .require16Bit = 1,
    .fullScreen = 1,
    .windowWidth = SCREEN_WIDTH,
    .windowHeight = SCREEN_HEIGHT,
    .device3D = -1,
    .linearTextureFilter = 0,
    .noModeToggle = 0,
    .modeX = 0,
    .screenSaver = 0,
    .previewBitmap = "",
    .allowMultipleInstances = 0,
    .configureMode = 0,
    .arguments = nullptr,
    .appInit = nullptr,
    .appConfigure = nullptr,
    .frameProc = nullptr,
};

constexpr int SIN_TABLE_SIZE = 450;

extern AppState gApp;
extern const AppConfig gAppConfig;  // defined by the application
extern int32_t gSinTable[SIN_TABLE_SIZE];

// Start-up and the frame loop (entry.cpp).
int KorvenMain(int argc, char** argv);
int WinMain();
void InitFrameworkState();
int InitFramework();
int PumpMessages();

// Setters and queries (app_state.cpp).
int SetFrameProc(FrameProc proc);
void SetExitProc(ExitProc proc);
int SetQuitKey(int virtualKey);
void SetWindowTitle(const char* title);
int EnableIme(int enable);
int IsActive();
void RequestQuit();
int Random(int n);

