// Blended draws over the backdrop: translucency at changing strengths (and
// its every-other-row form), additive light and raster operations.
#include "examples/showcase/showcase.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"

namespace {

void EnterBlends() {
    CreateImage(SCRATCH_SLOT, 120, 90, 0, RGB(255, 140, 40));
    HDC dc = GetImageDC(SCRATCH_SLOT);
    if (!dc) return;
    HBRUSH brush = CreateSolidBrush(RGB(40, 120, 255));
    HGDIOBJ previous = SelectObject(dc, brush);
    Ellipse(dc, 20, 10, 100, 80);
    SelectObject(dc, previous);
    DeleteObject(brush);
    ReleaseImageDC(SCRATCH_SLOT, dc);
}

void BlendsFrame(int frame) {
    DrawBackdrop();
    DrawImageTiled(0, 180, 640, 300, BLOCKS_SLOT);
    const int percent = frame % 200 < 100 ? frame % 100 : 100 - frame % 100;
    PrintText(16, 36, "translucent %d%%, 50%% and scanlines:", percent);
    DrawImageTranslucent(16, 150, SCRATCH_SLOT, percent, 0, 0, -1, -1, 0);
    DrawImageTranslucent(156, 150, SCRATCH_SLOT, 50, 0, 0, -1, -1, 0);
    DrawImageTranslucent(296, 150, SCRATCH_SLOT, 50, 0, 0, -1, -1, 1);
    PrintText(16, 320, "additive, XOR, AND, OR:");
    DrawImageAdd(16 + frame % 40, 350, SCRATCH_SLOT, 0, 0, -1, -1);
    DrawImageRop(176, 350, SCRATCH_SLOT, R2_XORPEN, 0, 0, -1, -1);
    DrawImageRop(316, 350, SCRATCH_SLOT, R2_MASKPEN, 0, 0, -1, -1);
    DrawImageRop(456, 350, SCRATCH_SLOT, R2_MERGEPEN, 0, 0, -1, -1);
    DrawImageTranslucent(450, 60, TILE_SLOT, 70, 0, 0, -1, -1, 0);
}

}  // namespace

const ShowcasePage kBlendPage = {"Blended draws: translucent, additive, ROP", EnterBlends, BlendsFrame};
