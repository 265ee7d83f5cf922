// The one pixel copy behind BitBlt, StretchBlt and the DIB transfers.
#pragma once

#include "platform/gdi/gdi.h"

// Copies the source rectangle onto the destination rectangle, converting the
// pixel format; nearest pixel when the sizes differ, mirrored along an axis
// whose two sizes differ in sign. Only destination pixels inside bounds and
// with their source pixel inside the source buffer are written.
void StretchPixels(const PixelBuffer& dst, const RECT& bounds, int x, int y, int width, int height,
                   const PixelBuffer& src, int srcX, int srcY, int srcWidth, int srcHeight);
