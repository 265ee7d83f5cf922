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

constexpr int kBackground = 0, kFileTile = 1, kResourceTile = 2, kComposed = 3;

void MakeBackground() { CreateImage(kBackground, 640, 480, 0, RGB(24, 40, 64)); }

void MakeComposed() {
    CreateImage(kComposed, 96, 48, 1, RGB(255, 0, 255));
    CopyImage(kComposed, 0, 0, 32, 24, kFileTile, 0, 0);
    CopyImage(kComposed, 40, 10, 32, 24, kResourceTile, 0, 0);
}

// Slots made by the program come back black after a loss: draw them again,
// with the tiles they are made from reloaded first.
void RedrawLostSlot(uint16_t slot) {
    if (slot == kBackground) MakeBackground();
    if (slot != kComposed) return;
    RestoreImage(kFileTile);
    RestoreImage(kResourceTile);
    MakeComposed();
}

void DrawInit() {
    DebugLog("display depth=%d full=%d locked=%d\n", gDisplay.bitDepth, IsFullScreen(), IsModeLocked());
    SetFrameRate(60);
    LoadBitmapImage(kFileTile, "probe_tile.bmp", 1);
    LoadBitmapImage(kResourceTile, "PROBETILE", 0);
    MakeBackground();
    MakeComposed();
    SetImageRestoreProc(RedrawLostSlot);
}

void DrawFrame() {
    SetClipRect(0, 0, 0, 0);
    DrawImage(0, 0, kBackground, 0, 0, -1, -1);
    DrawImage(20, 20, kFileTile, 0, 0, -1, -1);           // keyed
    DrawImage(60, 20, kResourceTile, 0, 0, -1, -1);       // opaque
    DrawImage(-10, 100, kFileTile, 0, 0, -1, -1);         // clipped on the left
    DrawImage(624, 100, kFileTile, 0, 0, -1, -1);         // and on the right
    DrawImage(300, -12, kResourceTile, 0, 0, -1, -1);     // and at the top
    DrawImage(300, 470, kResourceTile, 0, 0, -1, -1);     // and at the bottom
    DrawImage(120, 20, kResourceTile, 8, 4, 24, -1);      // part of the picture
    DrawImage(200, 200, kComposed, 0, 0, -1, -1);
    SetClipRect(400, 300, 420, 310);
    DrawImage(390, 295, kResourceTile, 0, 0, -1, -1);     // inside a small clip rectangle
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.allowMultipleInstances = 1;
    config.appInit = DrawInit;
    config.frameProc = DrawFrame;
    return config;
}();
