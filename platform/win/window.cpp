// Window classes and windows. The first top-level window is the program's main
// window and is shown by the backend; its outer rectangle equals its client
// rectangle because the desktop draws any decorations around it.
#include <algorithm>
#include <cstring>
#include <list>
#include <map>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/win/backend.h"
#include "platform/win/instance_registry.h"
#include "platform/win/window_table.h"

namespace {

// Window state outlives every static destructor: the display record, which is
// destroyed after main returns, still closes windows through it.
std::map<std::string, WNDCLASSEXA>& gClasses = *new std::map<std::string, WNDCLASSEXA>;
std::list<WindowObject>& gWindows = *new std::list<WindowObject>;
HWND gMainWindow = nullptr;
bool gFullScreenMode = false;
int gModeWidth = 0, gModeHeight = 0;

bool IsCaptioned(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

void SyncBackendFrame(HWND window) {
    if (window != gMainWindow || gFullScreenMode) return;
    const RECT& r = window->rect;
    Backend().setWindowFrame(r.left, r.top, r.right - r.left, r.bottom - r.top, IsCaptioned(window->style));
}

}  // namespace

HWND MainWindow() { return gMainWindow; }

std::vector<HWND> LiveWindows() {
    std::vector<HWND> live;
    for (WindowObject& w : gWindows)
        if (!w.destroyed) live.push_back(&w);
    return live;
}

bool IsLiveWindow(HWND window) {
    for (WindowObject& w : gWindows)
        if (&w == window) return !w.destroyed;
    return false;
}

void ResetWindowTable() {
    gClasses.clear();
    gWindows.clear();
    gMainWindow = nullptr;
    gFullScreenMode = false;
}

void ShowDisplayMode(int width, int height, int bitsPerPixel, bool fullScreen) {
    gFullScreenMode = fullScreen;
    gModeWidth = width;
    gModeHeight = height;
    Backend().setDisplayMode(width, height, bitsPerPixel, fullScreen);
    if (fullScreen && gMainWindow) {
        gMainWindow->rect = {0, 0, width, height};
        SendMessageA(gMainWindow, WM_MOVE, 0, 0);
    }
    if (!fullScreen && gMainWindow) SyncBackendFrame(gMainWindow);
}

void SetMainWindowOrigin(int x, int y) {
    if (!gMainWindow || gFullScreenMode) return;
    RECT& r = gMainWindow->rect;
    const int width = r.right - r.left, height = r.bottom - r.top;
    r = {x, y, x + width, y + height};
}

POINT MainWindowClientOrigin() {
    if (!gMainWindow) return {0, 0};
    return {gMainWindow->rect.left, gMainWindow->rect.top};
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    TraceCall("RegisterClassExA");
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    if (windowClass->cbSize != sizeof(WNDCLASSEXA) && windowClass->cbSize != 48) return 0;
    if (gClasses.count(windowClass->lpszClassName)) return 0;
    gClasses[windowClass->lpszClassName] = *windowClass;
    return static_cast<ATOM>(0xC000 + gClasses.size());
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE, void*) {
    TraceCall("CreateWindowExA");
    if (!className) return nullptr;
    auto found = gClasses.find(className);
    const WNDCLASSEXA* windowClass = found != gClasses.end() ? &found->second : FindSystemClass(className);
    if (!windowClass) return nullptr;
    if (parent && !IsLiveWindow(parent)) return nullptr;
    if ((style & WS_CHILD) && !parent) return nullptr;

    WindowObject& w = gWindows.emplace_back();
    w.className = windowClass->lpszClassName;
    w.title = title ? title : "";
    w.proc = windowClass->lpfnWndProc;
    w.style = style;
    w.exStyle = exStyle;
    w.parent = parent;
    if (style & WS_CHILD) w.id = static_cast<int>(reinterpret_cast<intptr_t>(menu));
    w.rect = {x, y, x + width, y + height};

    const bool topLevel = (style & WS_CHILD) == 0;
    if (topLevel && !gMainWindow) {
        if (!Backend().createWindow(x, y, width, height, ShiftJisToUtf8(w.title.c_str()).c_str(),
                                    IsCaptioned(style))) {
            gWindows.pop_back();
            return nullptr;
        }
        gMainWindow = &w;
        RegisterRunningInstance(className);
        int iconWidth = 0, iconHeight = 0;
        std::vector<uint32_t> icon;
        if (GetIconPixels(windowClass->hIcon, &iconWidth, &iconHeight, &icon))
            Backend().setWindowIcon(iconWidth, iconHeight, icon.data());
    }
    SendMessageA(&w, WM_CREATE, 0, 0);
    return &w;
}

BOOL DestroyWindow(HWND window) {
    TraceCall("DestroyWindow");
    if (!IsLiveWindow(window)) return FALSE;
    for (WindowObject& w : gWindows)
        if (w.parent == window && !w.destroyed) DestroyWindow(&w);
    SendMessageA(window, WM_DESTROY, 0, 0);
    window->destroyed = true;
    window->states.clear();
    DiscardMessagesFor(window);
    if (window == gMainWindow) Backend().destroyWindow();
    return TRUE;
}

HWND FindWindowA(const char* className, const char* title) {
    TraceCall("FindWindowA");
    for (WindowObject& w : gWindows) {
        if (w.destroyed) continue;
        if (className && w.className != className) continue;
        if (title && w.title != title) continue;
        return &w;
    }
    if (className && !title && IsInstanceRunningElsewhere(className)) return ForeignInstanceWindow();
    return nullptr;
}

BOOL IsWindow(HWND window) { return IsLiveWindow(window) ? TRUE : FALSE; }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_SETTEXT: return SetWindowTextA(window, reinterpret_cast<const char*>(lParam));
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(window->title.size());
        case WM_GETTEXT: {
            char* out = reinterpret_cast<char*>(lParam);
            if (!out || wParam == 0) return 0;
            const size_t length = std::min(window->title.size(), static_cast<size_t>(wParam) - 1);
            std::memcpy(out, window->title.data(), length);
            out[length] = '\0';
            return static_cast<LRESULT>(length);
        }
        default: return 0;
    }
}

int GetWindowTextA(HWND window, char* text, int size) {
    if (!text || size <= 0) return 0;
    text[0] = '\0';
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

UINT GetDlgItemTextA(HWND dialog, int id, char* text, int size) {
    return static_cast<UINT>(GetWindowTextA(GetDlgItem(dialog, id), text, size));
}

BOOL SetDlgItemTextA(HWND dialog, int id, const char* text) {
    return SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND window, const char* text) {
    TraceCall("SetWindowTextA");
    if (!IsLiveWindow(window)) return FALSE;
    window->title = text ? text : "";
    if (window == gMainWindow) Backend().setWindowTitle(ShiftJisToUtf8(window->title.c_str()).c_str());
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!IsLiveWindow(window) || !rect) return FALSE;
    *rect = {0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    if (!rect || !IsLiveWindow(window)) return FALSE;
    *rect = window->rect;
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    if (!IsLiveWindow(window) || !point) return FALSE;
    point->x += window->rect.left;
    point->y += window->rect.top;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (!IsLiveWindow(window) || !point) return FALSE;
    point->x -= window->rect.left;
    point->y -= window->rect.top;
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    if (!IsLiveWindow(window)) return 0;
    if (index == GWL_STYLE) return static_cast<LONG>(window->style);
    if (index == GWL_EXSTYLE) return static_cast<LONG>(window->exStyle);
    return 0;
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    TraceCall("SetWindowLongA");
    if (!IsLiveWindow(window)) return 0;
    const LONG previous = GetWindowLongA(window, index);
    if (index == GWL_STYLE) window->style = static_cast<DWORD>(value);
    else if (index == GWL_EXSTYLE) window->exStyle = static_cast<DWORD>(value);
    else return 0;
    SyncBackendFrame(window);
    return previous;
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags) {
    TraceCall("SetWindowPos");
    if (!IsLiveWindow(window)) return FALSE;
    RECT& r = window->rect;
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + width;
        r.bottom = r.top + height;
    }
    if (!(flags & SWP_NOMOVE)) {
        const int w = r.right - r.left, h = r.bottom - r.top;
        r = {x, y, x + w, y + h};
    }
    SyncBackendFrame(window);
    if (!(flags & SWP_NOMOVE)) SendMessageA(window, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) {
    // Decorations belong to the desktop, outside the rectangle we manage.
    return rect ? TRUE : FALSE;
}

BOOL ShowWindow(HWND window, int) {
    if (!IsLiveWindow(window)) return FALSE;
    window->style |= WS_VISIBLE;
    return TRUE;
}

BOOL UpdateWindow(HWND window) {
    if (!IsLiveWindow(window)) return FALSE;
    SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}

int GetSystemMetrics(int index) {
    int width = gModeWidth, height = gModeHeight;
    if (!gFullScreenMode) Backend().desktopSize(&width, &height);
    if (index == SM_CXSCREEN) return width;
    if (index == SM_CYSCREEN) return height;
    return 0;
}

// Menus and window frames are drawn by the desktop; a redraw of the client
// area is a WM_PAINT.
BOOL DrawMenuBar(HWND window) { return IsLiveWindow(window) ? TRUE : FALSE; }

BOOL RedrawWindow(HWND window, const RECT*, void*, UINT flags) {
    if (!IsLiveWindow(window)) return FALSE;
    if (flags & RDW_INVALIDATE) PostMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    for (WindowObject& w : gWindows)
        if (!w.destroyed && w.parent == dialog && (w.style & WS_CHILD) && w.id == id) return &w;
    return nullptr;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

HWND WindowFromNativeId(uint64_t id) {
    RECT rect{};
    if (id == 0 || !Backend().nativeWindowRect(id, &rect)) return nullptr;
    WindowObject& w = gWindows.emplace_back();
    w.className = "native";
    w.proc = DefWindowProcA;
    w.rect = rect;
    w.nativeId = id;
    return &w;
}

namespace {

// The other program's window a window lives in, with the window's offset in it.
HWND NativeAncestor(HWND window, POINT* offset) {
    *offset = {0, 0};
    for (HWND w = window; w && IsLiveWindow(w); w = w->parent) {
        if (w->nativeId) return w;
        offset->x += w->rect.left;
        offset->y += w->rect.top;
    }
    return nullptr;
}

}  // namespace

bool GetWindowPaintBuffer(HWND window, PixelBuffer* pixels) {
    POINT offset;
    if (!NativeAncestor(window, &offset)) return false;
    const int width = window->rect.right - window->rect.left, height = window->rect.bottom - window->rect.top;
    if (width <= 0 || height <= 0) return false;
    window->paintPixels.resize(static_cast<size_t>(width) * height);
    *pixels = PixelBuffer{reinterpret_cast<uint8_t*>(window->paintPixels.data()), width, height, width * 4,
                          PIXEL_FORMAT_8888, nullptr};
    return true;
}

void ShowWindowPaint(HWND window) {
    POINT offset;
    HWND native = NativeAncestor(window, &offset);
    PixelBuffer pixels;
    if (native && GetWindowPaintBuffer(window, &pixels))
        Backend().drawIntoNativeWindow(native->nativeId, offset.x, offset.y, pixels);
}
