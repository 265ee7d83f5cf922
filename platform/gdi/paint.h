// Painting a window's client area in answer to WM_PAINT.
#pragma once

#include "platform/gdi/gdi.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;  // here: the context draws into the window's own paint buffer
};

HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
