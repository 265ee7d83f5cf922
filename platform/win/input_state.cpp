// Key, mouse-button and pointer state as the backends last reported it. The
// pointer lives in client pixels of the main window; screen coordinates add
// the window's origin on the desktop. A key that went down during a frame's
// input counts as down for that frame's polls even when it is up again by
// then: a tap between two polls is never lost.
#include <algorithm>
#include <array>

#include "platform/win/backend.h"
#include "platform/win/window_table.h"

namespace {

std::array<bool, 256> gKeyDown{};
// The input frame in which each key last went down; frames are counted by the
// emptyings of the message queue, the first is 1 (0: the key never went down).
std::array<uint64_t, 256> gWentDownInFrame{};
uint64_t gInputFrame = 1;
POINT gPointer{0, 0};  // client pixels
int gCursorCount = 0;
bool gConfined = false;
RECT gConfineRect{};

POINT ClampToConfinement(POINT screen) {
    if (!gConfined) return screen;
    screen.x = std::clamp(screen.x, gConfineRect.left, std::max(gConfineRect.left, gConfineRect.right - 1));
    screen.y = std::clamp(screen.y, gConfineRect.top, std::max(gConfineRect.top, gConfineRect.bottom - 1));
    return screen;
}

}  // namespace

void SetKeyDown(int virtualKey, bool down) {
    if (virtualKey < 0 || virtualKey >= 256) return;
    if (down && !gKeyDown[virtualKey]) gWentDownInFrame[virtualKey] = gInputFrame;
    gKeyDown[virtualKey] = down;
}

void EndInputFrame() { ++gInputFrame; }

bool IsKeyDown(int virtualKey) { return virtualKey >= 0 && virtualKey < 256 && gKeyDown[virtualKey]; }

void SetPointerClientPosition(int x, int y) {
    const bool moved = x != gPointer.x || y != gPointer.y;
    gPointer = {x, y};
    if (moved) PostDesktopMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

POINT PointerClientPosition() { return gPointer; }

int16_t GetAsyncKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= 256) return 0;
    // The frame whose input was last completed is the one being polled.
    const uint64_t wentDown = gWentDownInFrame[virtualKey];
    const bool tapped = wentDown != 0 && wentDown + 1 == gInputFrame;
    return gKeyDown[virtualKey] || tapped ? static_cast<int16_t>(0x8000) : 0;
}

BOOL GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    const POINT origin = MainWindowClientOrigin();
    *point = ClampToConfinement({origin.x + gPointer.x, origin.y + gPointer.y});
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    TraceCall("SetCursorPos");
    const POINT origin = MainWindowClientOrigin();
    const POINT screen = ClampToConfinement({x, y});
    gPointer = {screen.x - origin.x, screen.y - origin.y};
    Backend().warpCursor(gPointer.x, gPointer.y);
    return TRUE;
}

int ShowCursor(BOOL show) {
    gCursorCount += show ? 1 : -1;
    Backend().showCursor(gCursorCount >= 0);
    return gCursorCount;
}

BOOL ClipCursor(const RECT* rect) {
    TraceCall("ClipCursor");
    gConfined = rect != nullptr;
    if (rect) gConfineRect = *rect;
    Backend().confineCursor(rect);
    return TRUE;
}
