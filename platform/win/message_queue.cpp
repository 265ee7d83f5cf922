// The thread's message queue. Desktop events are fetched from the backend only
// when the queue is empty, so posted messages are always served first; a
// WM_QUIT request is delivered after every message posted before it.
#include <algorithm>
#include <deque>

#include "platform/mci/mci.h"
#include "platform/win/backend.h"
#include "platform/win/controls/control_input.h"
#include "platform/win/controls/control_layer.h"
#include "platform/win/window_table.h"

namespace {

std::deque<MSG>& gQueue = *new std::deque<MSG>;  // outlives static destructors
bool gQuitPosted = false;
int gQuitCode = 0;

bool InFilter(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    return message >= filterMin && message <= filterMax;
}

bool TakeMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto it = gQueue.begin(); it != gQueue.end(); ++it) {
        if (window && it->hwnd != window) continue;
        if (!InFilter(it->message, filterMin, filterMax)) continue;
        *msg = *it;
        if (remove) gQueue.erase(it);
        return true;
    }
    if (gQuitPosted && InFilter(WM_QUIT, filterMin, filterMax)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(gQuitCode), 0, timeGetTime(), {0, 0}};
        if (remove) gQuitPosted = false;
        return true;
    }
    return false;
}

// The queue was found empty: one frame's input is complete.
void QueueDrained() {
    EndInputFrame();
    Backend().queueDrained();
}

}  // namespace

void PostDesktopMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (RouteToControls(message, wParam, lParam)) return;
    if (HWND main = MainWindow()) PostMessageA(main, message, wParam, lParam);
    // Without a main window (a screen-saver preview) a request to close ends the loop.
    else if (message == WM_CLOSE) PostQuitMessage(0);
}

void DiscardMessagesFor(HWND window) {
    gQueue.erase(std::remove_if(gQueue.begin(), gQueue.end(), [window](const MSG& m) { return m.hwnd == window; }),
                 gQueue.end());
}

void ResetMessageQueue() {
    gQueue.clear();
    gQuitPosted = false;
    gQuitCode = 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !IsLiveWindow(window)) return FALSE;
    gQueue.push_back(MSG{window, message, wParam, lParam, timeGetTime(), {0, 0}});
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsLiveWindow(window)) return 0;
    return window->proc(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    TraceCall("PostQuitMessage");
    gQuitPosted = true;
    gQuitCode = exitCode;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (TakeMessage(msg, window, filterMin, filterMax, remove)) return TRUE;
    UpdateMciDevices();
    Backend().pollEvents();
    if (TakeMessage(msg, window, filterMin, filterMax, remove)) return TRUE;
    QueueDrained();
    return FALSE;
}

BOOL WaitMessage() {
    while (gQueue.empty() && !gQuitPosted) {
        Backend().pollEvents();
        if (!gQueue.empty()) break;
        QueueDrained();
        RefreshControlLayer();
        Backend().waitEvents();
    }
    return TRUE;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    while (!TakeMessage(msg, window, filterMin, filterMax, true)) WaitMessage();
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !IsLiveWindow(msg->hwnd)) return 0;
    return msg->hwnd->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
