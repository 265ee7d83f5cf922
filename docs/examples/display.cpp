// The display: its mode, the clip rectangle every draw respects, colours
// matched to the screen's pixel format, and direct access to the back buffer.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "framework/draw/gdi_draw.h"

namespace {

int gFrames = 0;

void Init() {
    DebugLog("%dx%d at %d bits, %s\n", gDisplay.screenWidth, gDisplay.screenHeight, gDisplay.bitDepth,
             IsFullScreen() ? "full screen" : "in a window");
}

void Frame() {
    SetClipRect(0, 0, 640, 480);
    ClearScreen(0);
    SetClipRect(100, 100, 540, 380);  // draws now stop at this rectangle
    DrawFilledRect(0, 0, 640, 480, 0x00806040);
    // Pixels straight into the back buffer, in the screen's own format.
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    if (gDisplay.backBuffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK) {
        const uint16_t white = static_cast<uint16_t>(MatchColor(gDisplay.backBuffer, 0xFFFFFF));
        auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + 240 * desc.lPitch);
        for (int x = 100; x < 540; x += 2) row[x] = white;  // a dotted line across the middle (16 bits a pixel)
        gDisplay.backBuffer->Unlock(nullptr);
    }
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
