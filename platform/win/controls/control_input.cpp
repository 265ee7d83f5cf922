// Desktop input for the platform's controls, routed as the window system does:
// pointer messages go to the control under the pointer (or the one holding
// the pointer while its button is down) in that control's coordinates, and a
// second press soon after at the same place becomes a double-click; keys and
// typed characters go to the control with the focus. While a modal dialog is
// open, input outside it goes nowhere. Anything else stays with the main
// window. Typed text arrives as UTF-8 and enters as Shift-JIS characters:
// single bytes as WM_CHAR, double bytes as WM_IME_CHAR (lead byte high).
#include "platform/win/controls/control_input.h"

#include <cstdlib>
#include <cstring>

#include "platform/win/backend.h"
#include "platform/win/controls/controls.h"
#include "platform/win/controls/system_classes.h"
#include "platform/win/debug_output.h"

namespace {

constexpr DWORD DOUBLE_CLICK_TIME = 500;
constexpr int DOUBLE_CLICK_DISTANCE = 4;

struct InputState {
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND modalDialog = nullptr;
    HWND lastClickWindow = nullptr;
    DWORD lastClickTime = 0;
    POINT lastClickAt{0, 0};
    std::string composition;
};

InputState& gInput = *new InputState;  // outlives static destructors

bool IsPointerMessage(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_RBUTTONDOWN ||
           message == WM_RBUTTONUP || message == WM_MOUSEWHEEL || message == WM_MOUSEMOVE;
}

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_IME_CHAR;
}

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The topmost visible control or dialog at a picture point inside root.
HWND HitTest(HWND root, POINT at) {
    HWND hit = nullptr;
    for (HWND w : LiveWindows()) {
        if (w == MainWindow() || !(w->style & WS_VISIBLE) || !IsWithin(w, root) || w == root) continue;
        if (!IsWithin(w, MainWindow())) continue;
        bool shown = true;
        for (HWND p = w->parent; p && p != MainWindow(); p = p->parent) shown = shown && (p->style & WS_VISIBLE);
        if (shown && Contains(PictureRect(w), at)) hit = w;  // later windows lie above earlier ones
    }
    return hit;
}

bool IsFocusable(HWND window) {
    const WNDCLASSEXA* own = FindSystemClass(window->className.c_str());
    return own && window->className != "STATIC" && window->className != DIALOG_CLASS;
}

UINT DoubleClickOf(HWND target, UINT message, POINT at) {
    if (message != WM_LBUTTONDOWN) return message;
    const DWORD now = timeGetTime();
    const bool repeat = target == gInput.lastClickWindow && now - gInput.lastClickTime <= DOUBLE_CLICK_TIME &&
                        std::abs(at.x - gInput.lastClickAt.x) <= DOUBLE_CLICK_DISTANCE &&
                        std::abs(at.y - gInput.lastClickAt.y) <= DOUBLE_CLICK_DISTANCE;
    gInput.lastClickWindow = repeat ? nullptr : target;  // a third press starts over
    gInput.lastClickTime = now;
    gInput.lastClickAt = at;
    return repeat ? WM_LBUTTONDBLCLK : message;
}

bool RoutePointer(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT at{static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam))),
                   static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)))};
    HWND root = gInput.modalDialog && IsLiveWindow(gInput.modalDialog) ? gInput.modalDialog : MainWindow();
    HWND target = gInput.capture && IsLiveWindow(gInput.capture) ? gInput.capture : HitTest(root, at);
    if (!target) return root != MainWindow();  // outside a modal dialog nothing answers
    if (message == WM_LBUTTONDOWN) {
        if (IsFocusable(target)) SetFocus(target);
        gInput.capture = target;
    }
    if (message == WM_LBUTTONUP) gInput.capture = nullptr;
    const RECT area = PictureRect(target);
    PostMessageA(target, DoubleClickOf(target, message, at), wParam, MAKELPARAM(at.x - area.left, at.y - area.top));
    return true;
}

}  // namespace

bool RouteToControls(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!MainWindow()) return false;
    if (IsPointerMessage(message)) return RoutePointer(message, wParam, lParam);
    if (!IsKeyMessage(message)) return false;
    HWND focus = gInput.focus && IsLiveWindow(gInput.focus) ? gInput.focus : nullptr;
    if (gInput.modalDialog && IsLiveWindow(gInput.modalDialog)) {
        if (focus && IsWithin(focus, gInput.modalDialog)) PostMessageA(focus, message, wParam, lParam);
        return true;
    }
    if (!focus || focus == MainWindow()) return false;
    PostMessageA(focus, message, wParam, lParam);
    return true;
}

void PostTypedText(const char* utf8) {
    size_t refused = 0;
    const std::string text = Utf8ToShiftJis(utf8, &refused);
    if (refused) WriteDebugText("input: " + std::to_string(refused) + " typed character(s) have no Shift-JIS form\n");
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (IsShiftJisLeadByte(lead) && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[++i]);
            PostDesktopMessage(WM_IME_CHAR, static_cast<WPARAM>(lead << 8 | trail), 1);
        } else {
            PostDesktopMessage(WM_CHAR, lead, 1);
        }
    }
}

void PostWheel(int delta) {
    const POINT at = PointerClientPosition();
    PostDesktopMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(at.x, at.y));
}

void SetComposition(const char* utf8) {
    size_t refused = 0;
    gInput.composition = Utf8ToShiftJis(utf8 ? utf8 : "", &refused);
}

const std::string& CompositionText() { return gInput.composition; }

void ResetControlInput() { gInput = InputState{}; }

HWND SetFocus(HWND window) {
    HWND previous = gInput.focus && IsLiveWindow(gInput.focus) ? gInput.focus : nullptr;
    if (window && !IsLiveWindow(window)) return nullptr;
    if (window == previous) return previous;
    gInput.focus = window;
    gInput.composition.clear();
    if (previous) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window) SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus() { return gInput.focus && IsLiveWindow(gInput.focus) ? gInput.focus : nullptr; }

void FocusNextControl(HWND from, bool backwards) {
    std::vector<HWND> ring;
    for (HWND w : LiveWindows())
        if (w->parent == from->parent && (w->style & WS_VISIBLE) && IsFocusable(w)) ring.push_back(w);
    for (size_t i = 0; i < ring.size(); ++i) {
        if (ring[i] != from) continue;
        SetFocus(ring[(i + (backwards ? ring.size() - 1 : 1)) % ring.size()]);
        return;
    }
}

HWND ActiveModalDialog() { return gInput.modalDialog && IsLiveWindow(gInput.modalDialog) ? gInput.modalDialog : nullptr; }

void SetActiveModalDialog(HWND dialog) { gInput.modalDialog = dialog; }

void NotifyParent(HWND control, WORD notification) {
    if (control->parent)
        SendMessageA(control->parent, WM_COMMAND, MAKEWPARAM(control->id, notification), reinterpret_cast<LPARAM>(control));
}

LRESULT ControlDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        if (gInput.focus == window) gInput.focus = nullptr;
        if (gInput.capture == window) gInput.capture = nullptr;
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_TAB) {
        FocusNextControl(window, IsKeyDown(VK_SHIFT));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
