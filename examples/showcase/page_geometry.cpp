// Scaled, rotated, row-mosaic and tiled draws.
#include "examples/showcase/showcase.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"

namespace {

void GeometryFrame(int frame) {
    DrawBackdrop();
    const int zoom = 16 + (frame % 120 < 60 ? frame % 60 : 60 - frame % 60) * 2;
    PrintText(16, 36, "scaled:");
    DrawImageScaled(16, 60, TILE_SLOT, zoom * 2, zoom * 3 / 2, 0, 0, -1, -1);
    PrintText(300, 36, "rotated:");
    for (int i = 0; i < 3; ++i) DrawImageRotated(340 + i * 100, 110, TILE_SLOT, (frame * (i + 1) * 2) % 360, 0, 0, -1, -1);
    DrawImageRotated(440, 240, BLOCKS_SLOT, (720 - frame % 720) / 2, 0, 0, 90, 36);
    PrintText(16, 300, "row mosaic:");
    DrawImageRowMosaic(16, 324, BLOCKS_SLOT, 1 + (frame / 20) % 6, 0, 0, 150, 120);
    PrintText(320, 300, "tiled:");
    DrawImageTiled(320, 324, 620, 460, TILE_SLOT);
}

}  // namespace

const ShowcasePage kGeometryPage = {"Scaled, rotated, mosaic and tiled draws", nullptr, GeometryFrame};
