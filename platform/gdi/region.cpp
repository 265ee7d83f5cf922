// Rectangle regions and the clip region of a context. Selecting a region
// copies its rectangle, so the caller may delete the region afterwards.
#include <algorithm>

#include "platform/gdi/gdi_objects.h"

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto* region = new GdiRegion;
    region->rect = {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    RegisterGdiObject(region);
    return region;
}

// Null removes the clip. The result is the kind of the clip now in force.
int SelectClipRgn(HDC dc, HRGN region) {
    if (!IsLiveDC(dc)) return ERROR_REGION;
    if (!region) {
        dc->clipped = false;
        return SIMPLEREGION;
    }
    if (!AsRegion(region)) return ERROR_REGION;
    dc->clipped = true;
    dc->clip = region->rect;
    const RECT r = DrawableRect(*dc);
    return (r.left < r.right && r.top < r.bottom) ? SIMPLEREGION : NULLREGION;
}
