// A program that draws one fixed scene of clipped, keyed and composed image
// slots, for golden-frame tests of the display and the clipped draws. The
// tile comes once from a file and once from the program's own resources.
#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "framework/draw/draw.h"
#include "framework/image/image.h"

namespace {

constexpr int BACKGROUND = 0, FILE_TILE = 1, RESOURCE_TILE = 2, COMPOSED = 3;

void MakeBackground() { CreateImage(BACKGROUND, 640, 480, 0, RGB(24, 40, 64)); }

void MakeComposed() {
    CreateImage(COMPOSED, 96, 48, 1, RGB(255, 0, 255));
    CopyImage(COMPOSED, 0, 0, 32, 24, FILE_TILE, 0, 0);
    CopyImage(COMPOSED, 40, 10, 32, 24, RESOURCE_TILE, 0, 0);
}

// Slots made by the program come back black after a loss: draw them again,
// with the tiles they are made from reloaded first.
void RedrawLostSlot(uint16_t slot) {
    if (slot == BACKGROUND) MakeBackground();
    if (slot != COMPOSED) return;
    RestoreImage(FILE_TILE);
    RestoreImage(RESOURCE_TILE);
    MakeComposed();
}

void DrawInit() {
    DebugLog("display depth=%d full=%d locked=%d\n", gDisplay.bitDepth, IsFullScreen(), IsModeLocked());
    SetFrameRate(60);
    LoadBitmapImage(FILE_TILE, "probe_tile.bmp", 1);
    LoadBitmapImage(RESOURCE_TILE, "PROBETILE", 0);
    MakeBackground();
    MakeComposed();
    SetImageRestoreProc(RedrawLostSlot);
}

void DrawFrame() {
    SetClipRect(0, 0, 0, 0);
    DrawImage(0, 0, BACKGROUND, 0, 0, -1, -1);
    DrawImage(20, 20, FILE_TILE, 0, 0, -1, -1);           // keyed
    DrawImage(60, 20, RESOURCE_TILE, 0, 0, -1, -1);       // opaque
    DrawImage(-10, 100, FILE_TILE, 0, 0, -1, -1);         // clipped on the left
    DrawImage(624, 100, FILE_TILE, 0, 0, -1, -1);         // and on the right
    DrawImage(300, -12, RESOURCE_TILE, 0, 0, -1, -1);     // and at the top
    DrawImage(300, 470, RESOURCE_TILE, 0, 0, -1, -1);     // and at the bottom
    DrawImage(120, 20, RESOURCE_TILE, 8, 4, 24, -1);      // part of the picture
    DrawImage(200, 200, COMPOSED, 0, 0, -1, -1);
    SetClipRect(400, 300, 420, 310);
    DrawImage(390, 295, RESOURCE_TILE, 0, 0, -1, -1);     // inside a small clip rectangle
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.allowMultipleInstances = 1;
    config.appInit = DrawInit;
    config.frameProc = DrawFrame;
    return config;
}();
