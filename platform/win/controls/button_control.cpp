// "BUTTON": a push button that tells its parent BN_CLICKED when released over
// it, or on Space while it has the focus.
#include "platform/win/controls/controls.h"
#include "platform/win/controls/system_classes.h"

namespace {

struct Button {
    bool pressed = false;
};

void Paint(HWND window, HDC dc) {
    const RECT area = PictureRect(window);
    const bool pressed = ControlState<Button>(window).pressed;
    FillBox(dc, area, CONTROL_FACE);
    FrameBox(dc, area, CONTROL_TEXT);
    const RECT inner{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
    FrameBox(dc, inner, pressed ? CONTROL_SHADOW : CONTROL_WINDOW);
    if (GetFocus() == window || (window->style & BS_DEFPUSHBUTTON)) FrameBox(dc, area, CONTROL_TEXT);
    const int width = TextWidth(dc, window->title);
    const int shift = pressed ? 1 : 0;
    RECT text{area.left + (area.right - area.left - width) / 2 + shift, area.top + shift, area.right, area.bottom + shift};
    DrawRowText(dc, text, window->title, CONTROL_TEXT);
    if (GetFocus() == window) FrameBox(dc, {inner.left + 2, inner.top + 2, inner.right - 2, inner.bottom - 2}, CONTROL_SHADOW);
}

}  // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Button& button = ControlState<Button>(window);
    switch (message) {
        case WM_PRINTCLIENT: Paint(window, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: button.pressed = true; return 0;
        case WM_LBUTTONUP: {
            const bool wasPressed = button.pressed;
            button.pressed = false;
            const int x = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
            const int y = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
            RECT client{};
            GetClientRect(window, &client);
            if (wasPressed && x >= 0 && y >= 0 && x < client.right && y < client.bottom) NotifyParent(window, BN_CLICKED);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) {
                NotifyParent(window, BN_CLICKED);
                return 0;
            }
            return ControlDefaultProc(window, message, wParam, lParam);
        default: return ControlDefaultProc(window, message, wParam, lParam);
    }
}
