// A window's paint context. Windows inside another program's window paint
// into a buffer of their own, which EndPaint shows in that window; others get
// their display context (their pixels are presented by the display).
#include "platform/gdi/paint.h"

#include "platform/win/window_table.h"

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint) return nullptr;
    PixelBuffer pixels;
    paint->fRestore = GetWindowPaintBuffer(window, &pixels);
    paint->hdc = paint->fRestore ? CreateSurfaceDC(pixels) : GetDC(window);
    paint->fErase = FALSE;
    paint->rcPaint = RECT{};
    GetClientRect(window, &paint->rcPaint);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint || !paint->hdc) return FALSE;
    if (!paint->fRestore) return ReleaseDC(window, paint->hdc) ? TRUE : FALSE;
    DeleteSurfaceDC(paint->hdc);
    ShowWindowPaint(window);
    return TRUE;
}
