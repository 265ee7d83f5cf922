// "STATIC": a caption on the dialog face colour, in lines.
#include "platform/win/controls/controls.h"
#include "platform/win/controls/system_classes.h"

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PRINTCLIENT) return ControlDefaultProc(window, message, wParam, lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT area = PictureRect(window);
    FillBox(dc, area, CONTROL_FACE);
    if (window->style & WS_BORDER) FrameBox(dc, area, CONTROL_TEXT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, CONTROL_TEXT);
    DrawTextA(dc, window->title.c_str(), static_cast<int>(window->title.size()), &area, DT_NOPREFIX);
    return 0;
}
