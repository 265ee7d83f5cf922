// Drawing: slots put on the screen whole, translucent, added, rotated and
// tiled; GDI shapes and text; and a screen transition.
#include "framework/app/app.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/draw/transitions.h"
#include "framework/image/image.h"

namespace {

constexpr int TILE = 1;
int gFrames = 0;

void Init() {
    CreateImage(TILE, 40, 40, 0, 0x00A05020);  // a plain 40 x 40 tile
    SetTextFont(8, 16, 0xFFFFFF, "");           // the framework's font face
    SetTextBackground(TRANSPARENT, 0);
    ResetDissolve(1);                           // the dissolve starts covered and uncovers
}

void Frame() {
    ClearScreen(0x00202020);
    DrawImageTiled(0, 0, 640, 60, TILE);                         // a band of tiles
    DrawImageTranslucent(100, 100, TILE, 50, 0, 0, -1, -1, 0);  // half see-through
    DrawImageAdd(160, 100, TILE, 0, 0, -1, -1);                  // channels added
    DrawImageRotated(220, 100, TILE, 3 * gFrames, 0, 0, -1, -1);  // whole degrees
    DrawLine(20, 300, 620, 340, 0x00FFFFFF);
    DrawRect(20, 360, 200, 440, 0x0000FF00);
    DrawFilledEllipse(240, 360, 400, 440, 0x000000FF);
    PrintText(420, 380, "frame %d", gFrames);
    StepDissolve(1, 0);  // one step of the dot dissolve over everything
    if (++gFrames == 40) RequestQuit();
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
