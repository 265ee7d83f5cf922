// Image slots and the clipped copies: keyed and opaque tiles, clipping at the
// clip rectangle, pictures composed from others, the screen copied back into
// a slot, and tiling.
#include "examples/showcase/showcase.h"
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"

namespace {

void EnterImages() {
    CreateImage(SCRATCH_SLOT, 128, 48, 1, RGB(255, 0, 255));
    for (int i = 0; i < 4; ++i) CopyImage(SCRATCH_SLOT, i * 30, (i % 2) * 12, 30, 12, BLOCKS_SLOT, 30 + 30 * i, 12 * i);
    CopyImage(SCRATCH_SLOT, 90, 16, 32, 24, TILE_SLOT, 0, 0);
}

void ImagesFrame(int frame) {
    DrawImageTiled(0, 24, 640, 480, BACKDROP_SLOT);
    PrintText(16, 36, "keyed, opaque, composed:");
    DrawImage(16, 60, TILE_SLOT, 0, 0, -1, -1);
    DrawImage(60, 60, BLOCKS_SLOT, 30, 0, 60, 12);
    DrawImage(100, 60, SCRATCH_SLOT, 0, 0, -1, -1);

    // A tile gliding through a small clip rectangle.
    PrintText(16, 120, "clipped to a rectangle:");
    DrawRect(15, 143, 217, 205, RGB(120, 140, 200));
    SetClipRect(16, 144, 216, 204);
    for (int i = 0; i < 8; ++i) DrawImage((frame * 2 + i * 40) % 280 - 40, 150 + (i % 3) * 18, TILE_SLOT, 0, 0, -1, -1);
    SetClipRect(0, 24, 640, 480);

    // The block sheet tiled across a band, then that band read back and shown again.
    PrintText(260, 36, "tiled, then copied back from the screen:");
    DrawImageTiled(260, 60, 620, 120, TILE_SLOT);
    CreateImage(TEXT_SLOT, 360, 60, 0, 0);
    CopyScreenToImage(TEXT_SLOT, 0, 0, 260, 60, 620, 120);
    DrawImage(260, 140 + (frame / 4) % 20, TEXT_SLOT, 0, 0, -1, -1);

    PrintText(16, 240, "the brick sheet:");
    DrawImage(16, 264, BLOCKS_SLOT, 0, 0, -1, -1);
}

}  // namespace

const ShowcasePage kImagePage = {"Image slots and clipped draws", EnterImages, ImagesFrame};
