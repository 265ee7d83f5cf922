// Choosing the display device, full screen or window and the colour depth,
// applying the mode, and analysing the 16-bit pixel format for the software
// draws.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "framework/scene3d/scene3d.h"
#include "platform/win/platform.h"

namespace {

// Keeps the first device that can do 3D with textures.
BOOL DeviceCallback(GUID* guid, const char* description, const char*, void* context) {
    DisplayState* display = static_cast<DisplayState*>(context);
    if (DirectDrawCreate(guid, &display->device, nullptr) != DD_OK) return DDENUMRET_OK;
    DDCAPS caps{};
    caps.dwSize = sizeof(caps);
    display->device->GetCaps(&caps, nullptr);
    if ((caps.dwCaps & DDCAPS_3D) && (caps.ddsCaps.dwCaps & DDSCAPS_TEXTURE)) {
        gApp.device3DFound = 1;
        DebugLog("[%s]を使用します\n", description);
        return DDENUMRET_CANCEL;
    }
    display->device->Release();
    display->device = nullptr;
    return DDENUMRET_OK;
}

// Shifts a mask down to bit 0, counting the shifts.
void SplitMask(uint32_t mask, uint16_t* fieldMask, uint16_t* shift) {
    uint16_t value = static_cast<uint16_t>(mask & 0xFFFF), count = 0;
    while (value != 0 && (value & 1) == 0) {
        value >>= 1;
        ++count;
    }
    *fieldMask = value;
    *shift = count;
}

int BitCount(uint32_t value) { return __builtin_popcount(value); }

void SetWholeScreenClip() {
    gDisplay.clipLeft = 0;
    gDisplay.clipTop = 0;
    gDisplay.clipRight = gDisplay.screenWidth;
    gDisplay.clipBottom = gDisplay.screenHeight;
    if (gDisplay.clipRegion) DeleteObject(gDisplay.clipRegion);
    gDisplay.clipRegion = CreateRectRgn(0, 0, gDisplay.screenWidth, gDisplay.screenHeight);
}

}  // namespace

int InitDisplay() {
    if (DirectDrawEnumerateA(DeviceCallback, &gDisplay) < 0) return 0;
    if (!gDisplay.device) {
        if (DirectDrawCreate(nullptr, &gDisplay.device, nullptr) != DD_OK) {
            ErrorBox("DirectDrawの作成に失敗しました");
            return 0;
        }
        DebugLog("標準のデバイスを使用します\n");
    }
    ChooseDisplayMode();
    if (!ApplyDisplayMode()) return 0;
    if (gDisplay.bitDepth == 8) CreateDisplayPalette(nullptr);
    return AnalysePixelFormat();
}

void ChooseDisplayMode() {
    if (gAppConfig.modeX) {
        DebugLog("MODEXで起動します\n");
        gDisplay.screenWidth = 320;
        gDisplay.screenHeight = 240;
        gDisplay.bitDepth = 8;
        gDisplay.coopLevel = DDSCL_ALLOWMODEX | DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
        gDisplay.bufferCount = 2;
        gDisplay.modeLocked = 1;
        SetWholeScreenClip();
        return;
    }
    gDisplay.screenWidth = SCREEN_WIDTH;
    gDisplay.screenHeight = SCREEN_HEIGHT;
    gDisplay.bitDepth = 16;
    gDisplay.bufferCount = 2;
    // --window starts a full-screen program in a window; Alt+Enter still switches.
    const bool fullScreen = gAppConfig.fullScreen && !GetPlatformOptions().startInWindow;
    gDisplay.coopLevel = fullScreen ? gDisplay.fullScreenLevel : gDisplay.windowedLevel;
    HDC screen = GetDC(nullptr);
    const int desktopDepth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    DebugLog("現在のディスプレイモードは%dbitカラーです\n", desktopDepth);
    if (desktopDepth != 16) {
        if (gAppConfig.require16Bit || (desktopDepth == 8 && gAppConfig.device3D >= 0)) {
            gDisplay.coopLevel = gDisplay.fullScreenLevel;
            gDisplay.modeLocked = 1;
        } else {
            gDisplay.bitDepth = desktopDepth;
        }
    }
    DebugLog("%dbitカラーで起動します\n", gDisplay.bitDepth);
    SetWholeScreenClip();
}

int ApplyDisplayMode() {
    if (!gDisplay.device) {
        ErrorBox("DirectDrawが存在しないため設定できません");
        return 0;
    }
    if (gDisplay.device->SetCooperativeLevel(gApp.hWnd, gDisplay.coopLevel) != DD_OK) {
        ErrorBox("強調レベルの設定に失敗しました");
        return 0;
    }
    if (gDisplay.coopLevel & DDSCL_EXCLUSIVE) {
        SetWindowLongA(gApp.hWnd, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
        if (gDisplay.device->SetDisplayMode(gDisplay.screenWidth, gDisplay.screenHeight, gDisplay.bitDepth) != DD_OK) {
            ErrorBox("ディスプレイモードが変更できません");
            return 0;
        }
    } else {
        SetWindowLongA(gApp.hWnd, GWL_STYLE,
                       static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
        FitWindowToScreen();
    }
    if (!CreateScreenSurfaces()) return 0;
    gDisplay.ready = 1;
    return 1;
}

int AnalysePixelFormat() {
    DDCAPS hardware{}, emulation{};
    hardware.dwSize = emulation.dwSize = sizeof(DDCAPS);
    gDisplay.device->GetCaps(&hardware, &emulation);
    if ((hardware.dwCaps | emulation.dwCaps) & DDCAPS_BLTSTRETCH) gDisplay.canStretch = 1;

    if (gDisplay.bitDepth == 16) {
        DDPIXELFORMAT format{};
        format.dwSize = sizeof(format);
        if (gDisplay.backBuffer->GetPixelFormat(&format) != DD_OK) {
            ErrorBox("ピクセルフォーマットの取得に失敗しました\n");
            return 0;
        }
        SplitMask(format.dwRBitMask, &gDisplay.redMask, &gDisplay.redShift);
        SplitMask(format.dwGBitMask, &gDisplay.greenMask, &gDisplay.greenShift);
        SplitMask(format.dwBBitMask, &gDisplay.blueMask, &gDisplay.blueShift);
        gDisplay.halfMask = (((gDisplay.redMask >> 1) << gDisplay.redShift) |
                             ((gDisplay.greenMask >> 1) << gDisplay.greenShift) |
                             ((gDisplay.blueMask >> 1) << gDisplay.blueShift))
                            << 1;
        gDisplay.redFromColor = static_cast<int16_t>(8 - BitCount(gDisplay.redMask));
        gDisplay.greenFromColor = static_cast<int16_t>(16 - (gDisplay.redShift - gDisplay.greenShift));
        gDisplay.blueFromColor = static_cast<int16_t>(24 - (gDisplay.greenShift - gDisplay.blueShift));
    } else if (gDisplay.bitDepth == 24 || gDisplay.bitDepth == 32) {
        gDisplay.redMask = gDisplay.greenMask = gDisplay.blueMask = 0xFF;
        gDisplay.redShift = 16;
        gDisplay.greenShift = 8;
        gDisplay.blueShift = 0;
        gDisplay.halfMask = 0xFEFEFE;
    }

    HDC dc = nullptr;
    if (gDisplay.primary->GetDC(&dc) != DD_OK) {
        ErrorBox("GDIをアクセスできません");
        return 0;
    }
    gDisplay.primary->ReleaseDC(dc);
    return 1;
}

void FitWindowToScreen() {
    int width = gAppConfig.windowWidth, height = gAppConfig.windowHeight;
    if (width == 0 || height == 0) {
        width = gDisplay.screenWidth;
        height = gDisplay.screenHeight;
    }
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(gApp.hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(gApp.hWnd, GWL_EXSTYLE)));
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    SetWindowPos(gApp.hWnd, nullptr, 0, 0, outerWidth, outerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(gApp.hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(gApp.hWnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ToggleFullScreen() {
    if (gAppConfig.noModeToggle) return;
    if (gApp.enable3D) Release3DDevice();
    ReleaseScreenSurfaces();
    SetFullScreenFlag(!IsFullScreen());
    ApplyDisplayMode();
    if (gApp.enable3D) Create3DDevice();
}

void SetFullScreenFlag(int fullScreen) {
    gDisplay.coopLevel = fullScreen ? gDisplay.fullScreenLevel : gDisplay.windowedLevel;
}

int IsFullScreen() { return (gDisplay.coopLevel & DDSCL_FULLSCREEN) != 0; }
int IsDisplayReady() { return gDisplay.ready; }
int IsModeLocked() { return gDisplay.modeLocked; }
IDirectDraw* GetDirectDraw() { return gDisplay.device; }

float GetVideoMemoryTotal() {
    DDCAPS caps{};
    caps.dwSize = sizeof(caps);
    if (!gDisplay.device || gDisplay.device->GetCaps(&caps, nullptr) != DD_OK) return 0;
    return caps.dwVidMemTotal / 1024.0f / 1024.0f;
}

float GetVideoMemoryFree() {
    DDCAPS caps{};
    caps.dwSize = sizeof(caps);
    if (!gDisplay.device || gDisplay.device->GetCaps(&caps, nullptr) != DD_OK) return 0;
    return caps.dwVidMemFree / 1024.0f / 1024.0f;
}
