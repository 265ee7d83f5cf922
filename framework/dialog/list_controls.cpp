// The framework's list box of choices, ending in a cancel entry, and its
// caption: child controls of the main window for selection screens.
#include "framework/app/app.h"
#include "framework/dialog/dialogs.h"

namespace {

constexpr DWORD LIST_BOX_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY;  // 0x50A00001
constexpr DWORD STATIC_TEXT_STYLE = WS_CHILD | WS_VISIBLE;                                   // 0x50000000
constexpr const char* CANCEL_ENTRY = "ｷｬﾝｾﾙ";

}  // namespace

HWND CreateListBox(int x, int y, int width, int height, int itemCount, const char* const* items) {
    HWND list = CreateWindowExA(0, "LISTBOX", "", LIST_BOX_STYLE, x, y, width, height, gApp.hWnd,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(LIST_BOX_ID)), gApp.hInstance, nullptr);
    for (int i = 0; i < itemCount; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(CANCEL_ENTRY));
    return list;
}

HWND CreateStaticText(int x, int y, int width, int height, const char* text) {
    return CreateWindowExA(0, "STATIC", text, STATIC_TEXT_STYLE, x, y, width, height, gApp.hWnd,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(STATIC_TEXT_ID)), gApp.hInstance, nullptr);
}
