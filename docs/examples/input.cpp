// Keys, mouse and joysticks: every input is an edge code per frame (0 up,
// 1 released this frame, 2 pressed this frame, 3 held).
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/draw/gdi_draw.h"
#include "framework/input/input.h"

namespace {

int gFrames = 0;

void Init() {
    EnableMouse(1);     // the pointer is read every frame
    EnableJoystick(1);  // and the joysticks found at start-up
}

void Frame() {
    ClearScreen(0);
    const int x = MouseX(), y = MouseY();
    const bool down = KeyState(VK_LBUTTON) >= KEY_PRESSED;
    DrawFilledEllipse(x - 8, y - 8, x + 8, y + 8, down ? 0x0000FF : 0xFFFFFF);
    if (KeyState(VK_SPACE) == KEY_PRESSED) DebugLog("space pressed at frame %d\n", gFrames);
    if (gJoystickCount > 0 && JoystickState(0, JOYSTICK_LEFT) == KEY_PRESSED) DebugLog("joystick left\n");
    if (++gFrames == 120) RequestQuit();  // Esc, the quit key, ends it sooner
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
