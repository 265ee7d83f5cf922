// Key edges advance only when the application asks for that key; the pointer
// is polled once per active frame while the mouse is enabled.
#include "framework/app/app.h"
#include "framework/display/display.h"
#include "framework/input/input.h"

namespace {

constexpr int KEY_COUNT = 256;

uint8_t gKeyEdges[KEY_COUNT];
int gMouseX = 0;
int gMouseY = 0;

int ClampToRange(int value, int limit) {
    if (value > limit - 1) value = limit - 1;
    if (value < 0) value = 0;
    return value;
}

}  // namespace

uint8_t UpdateEdgeState(bool down, uint8_t state) {
    if (down) return state != KEY_UP ? KEY_HELD : KEY_PRESSED;
    return state == KEY_PRESSED || state == KEY_HELD ? KEY_RELEASED : KEY_UP;
}

int KeyState(int virtualKey) {
    if (gApp.modal) return 0;
    // Codes outside the table have no edge state to keep.
    if (virtualKey < 0 || virtualKey >= KEY_COUNT) return 0;
    const bool down = (GetAsyncKeyState(virtualKey) & 0xFF00) != 0;
    gKeyEdges[virtualKey] = UpdateEdgeState(down, gKeyEdges[virtualKey]);
    return gKeyEdges[virtualKey];
}

int AnyInput(int mouseFlag) {
    for (int code = 0; code < KEY_COUNT; ++code)
        if (KeyState(code) == KEY_RELEASED) return 1;
    if (gApp.mouseMoved) {
        gApp.mouseMoved = 0;
        return mouseFlag ? 1 : 0;
    }
    return 0;
}

void EnableMouse(int enable) { gApp.mouseEnabled = enable; }

void PollMouse() {
    POINT p{};
    GetCursorPos(&p);
    if (!IsFullScreen()) ScreenToClient(gApp.hWnd, &p);
    gMouseX = ClampToRange(p.x, gDisplay.screenWidth);
    gMouseY = ClampToRange(p.y, gDisplay.screenHeight);
}

int MouseX() { return gMouseX; }
int MouseY() { return gMouseY; }

void SetMousePos(int x, int y) {
    if (x == -1) return;
    POINT p{x, y};
    if (!IsFullScreen()) ClientToScreen(gApp.hWnd, &p);
    SetCursorPos(p.x, p.y);
}

int ShowMouseCursor(int show) { return ShowCursor(show); }

void ClipMouseToWindow(int clip) { ClipCursor(clip ? &gApp.clientRect : nullptr); }

void PollInput() {
    if (gApp.joystickEnabled) PollJoysticks();
    if (gApp.mouseEnabled) PollMouse();
}
