// Programs built as screen savers read their command line: /c configures,
// /p <window> previews into the given window, /s runs.
#include <cctype>
#include <cstdlib>

#include "framework/app/app.h"
#include "framework/app/main_window.h"
#include "platform/gdi/paint.h"
#include "platform/win/platform.h"

int ParseScreenSaverArgs() {
    const std::vector<std::string>& args = GetProgramArguments();
    if (args.size() < 2) return 0;
    const std::string& mode = args[1];
    if (mode.size() < 2 || (mode[0] != '-' && mode[0] != '/')) return 0;
    switch (std::tolower(static_cast<unsigned char>(mode[1]))) {
        case 'c':
            gApp.hWnd = nullptr;
            if (gAppConfig.appConfigure) gAppConfig.appConfigure();
            return 0;
        case 'p': {
            const char* id = args.size() > 2 ? args[2].c_str() : "0";
            RunScreenSaverPreview(WindowFromNativeId(std::strtoull(id, nullptr, 10)));
            return 0;
        }
        case 's':
            return 1;
        default:
            return 0;
    }
}

void RunScreenSaverPreview(HWND parent) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = PreviewWindowProc;
    windowClass.hInstance = gApp.hInstance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    if (!RegisterClassExA(&windowClass)) return;
    RECT parentRect{};
    GetWindowRect(parent, &parentRect);
    HWND preview = CreateWindowExA(0, MAIN_WINDOW_CLASS, "Screen Saver Preview", WS_CHILD | WS_VISIBLE, 0, 0,
                                   parentRect.right - parentRect.left, parentRect.bottom - parentRect.top, parent,
                                   nullptr, gApp.hInstance, nullptr);
    if (!preview) return;
    ShowWindow(preview, SW_SHOW);
    UpdateWindow(preview);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    if (gAppConfig.previewBitmap && gAppConfig.previewBitmap[0] != '\0') {
        HBITMAP bitmap = LoadBitmapA(gApp.hInstance, gAppConfig.previewBitmap);
        HDC memory = CreateCompatibleDC(paint.hdc);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BITMAP size{};
        GetObjectA(bitmap, sizeof(size), &size);
        RECT client{};
        GetClientRect(window, &client);
        StretchBlt(paint.hdc, 0, 0, client.right, client.bottom, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    EndPaint(window, &paint);
    return 0;
}
