// Putting image slots onto the back buffer and into each other.
#pragma once

#include "platform/win/win.h"

// The one clipping rule of every blit: adjusts the target position and the
// source rectangle (right and bottom exclusive) to the clip rectangle and the
// source size. The result may be empty or inverted.
inline void ClipBlitRect(int* dx, int* dy, int* sx1, int* sy1, int* sx2, int* sy2, int clipLeft, int clipTop,
                         int clipRight, int clipBottom, int srcWidth, int srcHeight) {
    if (*sx1 < 0) *sx1 = 0;
    if (*sy1 < 0) *sy1 = 0;
    if (*sx2 > srcWidth) *sx2 = srcWidth;
    if (*sy2 > srcHeight) *sy2 = srcHeight;
    if (*dx < clipLeft) {
        *sx1 += clipLeft - *dx;
        *dx = clipLeft;
    }
    if (*dy < clipTop) {
        *sy1 += clipTop - *dy;
        *dy = clipTop;
    }
    if (*dx + (*sx2 - *sx1) > clipRight) *sx2 = clipRight - *dx + *sx1;
    if (*dy + (*sy2 - *sy1) > clipBottom) *sy2 = clipBottom - *dy + *sy1;
}

int DrawImage(int dx, int dy, int slot, int sx1, int sy1, int sx2, int sy2);
int CopyImage(int dstSlot, int dx, int dy, int w, int h, int srcSlot, int sx, int sy);
int CopyScreenToImage(int slot, int dx, int dy, int sx1, int sy1, int sx2, int sy2);

// Draws that combine a slot with the screen (blended_draw.cpp): opacity in
// percent, or every other row when useScanlines is set or below 16 bits; a GDI
// binary raster operation; channels added with saturation.
int DrawImageTranslucent(int dx, int dy, int slot, int percent, int sx1, int sy1, int sx2, int sy2,
                         int useScanlines);
int DrawImageRop(int dx, int dy, int slot, int rop2, int sx1, int sy1, int sx2, int sy2);
int DrawImageAdd(int dx, int dy, int slot, int sx1, int sy1, int sx2, int sy2);

// The result of a blit from a slot as the draws report it: 1 drawn, also when
// the slot was lost and handed to RestoreImage; 0 for any other failure.
int SlotBlitResult(int slot, HRESULT result);

// Draws that change the picture's geometry (geometric_draw.cpp,
// rotated_draw.cpp): stretched to dw x dh (-1: twice the slot's size); each
// band of step rows showing its first row; rotated by whole degrees about the
// rectangle's centre into a square; the whole picture tiled over an area.
int DrawImageScaled(int dx, int dy, int slot, int dw, int dh, int sx1, int sy1, int sx2, int sy2);
int DrawImageRowMosaic(int dx, int dy, int slot, int step, int sx1, int sy1, int sx2, int sy2);
int DrawImageRotated(int dx, int dy, int slot, int angle, int sx1, int sy1, int sx2, int sy2);
int DrawImageTiled(int x1, int y1, int x2, int y2, int slot);
