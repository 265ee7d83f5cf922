// Image slots: made empty, filled by drawing into them, written out as a
// screenshot and loaded back from the .bmp file, then drawn by number.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"

namespace {

constexpr int SPRITE = 1, PICTURE = 2;
int gFrames = 0;

void Init() {
    // A 32 x 32 slot whose colour key is its top-left pixel (black here).
    CreateImage(SPRITE, 32, 32, 1, 0);
    HDC dc = GetImageDC(SPRITE);  // GDI drawing into the slot
    if (dc) {
        HBRUSH brush = CreateSolidBrush(0x0000C0FF);
        HGDIOBJ old = SelectObject(dc, brush);
        Ellipse(dc, 2, 2, 30, 30);
        SelectObject(dc, old);
        DeleteObject(brush);
        ReleaseImageDC(SPRITE, dc);
    }
}

void Frame() {
    ClearScreen(0x00303030);
    for (int i = 0; i < 10; ++i) DrawImage(40 + 50 * i, 40 + 10 * i, SPRITE, 0, 0, -1, -1);  // -1: whole width/height
    if (gFrames == 1) {
        SaveScreenBitmap("images-example.bmp");  // the back buffer as a Windows bitmap
        if (!LoadBitmapImage(PICTURE, "images-example.bmp", 0)) DebugLog("the screenshot did not load\n");
        int w = 0, h = 0;
        GetImageSize(PICTURE, &w, &h);
        DebugLog("loaded a %dx%d picture\n", w, h);
    }
    if (gFrames > 1) DrawImageScaled(400, 300, PICTURE, 160, 120, 0, 0, -1, -1);  // the screenshot, shrunk
    if (++gFrames == 30) RequestQuit();
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
