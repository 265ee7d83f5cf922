// A window's paint context is its display context for the client rectangle;
// the window's pixels are presented by the display, so painting needs no
// invalid-region bookkeeping.
#include "platform/gdi/paint.h"

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint) return nullptr;
    paint->hdc = GetDC(window);
    paint->fErase = FALSE;
    paint->rcPaint = RECT{};
    GetClientRect(window, &paint->rcPaint);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint || !paint->hdc) return FALSE;
    return ReleaseDC(window, paint->hdc) ? TRUE : FALSE;
}
