// The selection screen shared by the connection, start and session choices.
// The framework's own main loop does not run while it is up.
#include "framework/net/selection_screen.h"

#include "framework/app/app.h"
#include "framework/dialog/dialogs.h"

int RunSelectionScreen(const char* caption, int count, const char* const* entries, SelectionHandler handler,
                       int quitResult) {
    RECT client;
    GetClientRect(gApp.hWnd, &client);
    HWND captionWindow = CreateStaticText(0, 0, client.right, 32, caption);
    HWND listWindow = CreateListBox(0, 32, client.right, client.bottom, count, entries);
    gApp.listSelection = -1;
    int result = quitResult;
    MSG msg;
    for (;;) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            // The program is ending: the quit goes back for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (gApp.listSelection == -1) continue;
        result = handler(gApp.listSelection);
        if (result != SELECTION_WAIT_AGAIN) break;
        gApp.listSelection = -1;
        result = quitResult;
    }
    DestroyWindow(captionWindow);
    DestroyWindow(listWindow);
    return result;
}
