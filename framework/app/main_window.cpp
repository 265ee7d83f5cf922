// The main window: the running-instance check, class and window creation, and
// the window procedure that turns window events into framework state.
#include "framework/app/main_window.h"

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/dialog/dialogs.h"
#include "framework/display/display.h"
#include "framework/image/image.h"
#include "framework/media/media.h"
#include "framework/scene3d/scene3d.h"
#include "platform/gdi/paint.h"

namespace {

// The first pointer position seen, for screen savers; x = 0 means none yet.
POINT gFirstMouse{0, 0};

void HandleActivation(UINT message, WPARAM wParam) {
    if (gApp.quitting) return;
    const WPARAM state = message == WM_ACTIVATE ? LOWORD(wParam) : wParam;
    const bool goesAway = (message == WM_SIZE && state == SIZE_MINIMIZED) ||
                          (message == WM_ACTIVATE && state == WA_INACTIVE);
    const bool comesBack = (message == WM_SIZE && state == SIZE_RESTORED) ||
                           (message == WM_ACTIVATE && (state == WA_ACTIVE || state == WA_CLICKACTIVE));
    if (goesAway) {
        gApp.active = 0;
        PauseAllMedia();
    } else if (comesBack) {
        ResumeAllMedia();
        gApp.active = 1;
    }
}

void TrackMouseMove(LPARAM lParam) {
    const LONG x = LOWORD(static_cast<uintptr_t>(lParam)), y = HIWORD(static_cast<uintptr_t>(lParam));
    if (gFirstMouse.x == 0) gFirstMouse = {x, y};
    if (gFirstMouse.x != 0 && x != gFirstMouse.x && y != gFirstMouse.y) gApp.mouseMoved = 1;
}

void StoreClientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT topLeft{client.left, client.top}, bottomRight{client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    gApp.clientRect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace

int CreateMainWindow() {
    if (!gAppConfig.allowMultipleInstances && FindWindowA(MAIN_WINDOW_CLASS, nullptr)) return 0;
    if (gAppConfig.screenSaver && !ParseScreenSaverArgs()) return 0;

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = gApp.hInstance;
    windowClass.hIcon = gAppConfig.iconName[0] ? LoadIconA(gApp.hInstance, gAppConfig.iconName)
                                               : LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    if (!RegisterClassExA(&windowClass)) {
        ErrorBox("ウインドウクラスの登録に失敗しました");
        return 0;
    }
    const int width = gAppConfig.windowWidth, height = gAppConfig.windowHeight;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    gApp.hWnd = CreateWindowExA(WS_EX_APPWINDOW, MAIN_WINDOW_CLASS, "Untitled", WS_POPUP | WS_VISIBLE, x, y, width,
                                height, nullptr, nullptr, gApp.hInstance, nullptr);
    if (!gApp.hWnd) {
        ErrorBox("ウインドウの作成に失敗しました");
        return 0;
    }
    StoreClientRect(gApp.hWnd);
    return 1;
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            CloseAllMedia();
            ReleaseAllImages();
            ClipCursor(nullptr);
            PostQuitMessage(0);
            return 0;
        case WM_MOVE:
            StoreClientRect(window);
            return 0;
        case WM_SIZE:
        case WM_ACTIVATE:
            if (IsDisplayReady()) HandleActivation(message, wParam);
            if (message == WM_ACTIVATE && gApp.enable3D && Is3DReady()) Handle3DActivate(wParam);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            if (IsDisplayReady() && !gApp.active && !IsFullScreen()) {
                if (gApp.enable3D && Is3DReady()) Handle3DPaint(paint.hdc);
                PresentBackBuffer();
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CLOSE:
        case WM_QUERYENDSESSION:
            if (gApp.exitProc && gApp.exitProc() == 0) return 0;
            DestroyWindow(window);
            return 0;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_EXITSIZEMOVE:
            gDisplay.presentSuspended = 0;
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_KEYDOWN:
            if (LOWORD(wParam) == gApp.quitKey) RequestQuit();
            return 0;
        case WM_SYSKEYDOWN:
            // Alt+Enter switches the mode; every system key is swallowed, Alt+F4 included.
            if (wParam == VK_RETURN && !IsModeLocked() && !gAppConfig.noModeToggle) ToggleFullScreen();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == LIST_BOX_ID && HIWORD(wParam) == LBN_DBLCLK)
                gApp.listSelection = static_cast<int>(SendDlgItemMessageA(window, LIST_BOX_ID, LB_GETCURSEL, 0, 0));
            return 0;
        case WM_SYSCOMMAND:
            if (wParam == SC_SCREENSAVE) return 1;
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_MOUSEMOVE:
            TrackMouseMove(lParam);
            return 0;
        case WM_ENTERMENULOOP:
            gDisplay.presentSuspended = 1;
            if (gDisplay.device) gDisplay.device->FlipToGDISurface();
            DrawMenuBar(window);
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME);
            return 0;
        case WM_EXITMENULOOP:
            gDisplay.presentSuspended = 0;
            return 0;
        case WM_QUERYNEWPALETTE:
            if (!IsDisplayReady()) return 0;
            ReleaseDisplayPalette();
            if (!CreateDisplayPalette(nullptr)) {
                ErrorBox("パレットの復帰に失敗しました");
                RequestQuit();
                return 1;
            }
            return 0;
        case MM_MCINOTIFY:
            if (wParam == MCI_NOTIFY_SUCCESSFUL) OnMciNotify();
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
