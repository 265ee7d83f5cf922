// DirectDraw clippers: a clipper bound to a window makes blits onto the
// primary surface take screen coordinates and stay inside the window's client
// area. Clip lists are not offered.
#include "platform/ddraw/ddraw_objects.h"

HRESULT SoftwareClipper::SetHWnd(DWORD, HWND window) {
    if (window && !IsWindow(window)) return DDERR_INVALIDPARAMS;
    window_ = window;
    return DD_OK;
}
