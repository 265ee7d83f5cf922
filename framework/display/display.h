// The display record: the DirectDraw device, screen surfaces, mode, clip
// rectangle and the 16-bit pixel-format fields the software draws use; and
// the operations on the display.
#pragma once

#include <array>
#include <cstdint>

#include "platform/ddraw/ddraw.h"

struct DisplayState {
    DisplayState();
    ~DisplayState();

    IDirectDraw* device = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* backBuffer = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirectDrawPalette* palette = nullptr;
    HRGN clipRegion = nullptr;
    int32_t bufferCount = 0;
    uint32_t coopLevel = 0;
    uint32_t windowedLevel = DDSCL_NORMAL;
    uint32_t fullScreenLevel = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
    int ready = 0;
    int modeLocked = 0;
    int canStretch = 0;
    int presentSuspended = 0;
    int waitVBlank = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t bitDepth = 0;
    int32_t clipLeft = 0;
    int32_t clipRight = 0;
    int32_t clipTop = 0;
    int32_t clipBottom = 0;
    int32_t rop2 = R2_COPYPEN;
    uint16_t redMask = 0, greenMask = 0, blueMask = 0;
    uint16_t redShift = 0, greenShift = 0, blueShift = 0;
    int16_t redFromColor = 0, greenFromColor = 0, blueFromColor = 0;
    uint32_t halfMask = 0;
};

extern DisplayState gDisplay;

// Device and mode (display_mode.cpp).
int InitDisplay();
void ChooseDisplayMode();
int ApplyDisplayMode();
int AnalysePixelFormat();
void FitWindowToScreen();
void ToggleFullScreen();
void SetFullScreenFlag(int fullScreen);
int IsFullScreen();
int IsDisplayReady();
int IsModeLocked();
IDirectDraw* GetDirectDraw();
float GetVideoMemoryTotal();
float GetVideoMemoryFree();

// Screen surfaces, presenting, clipping, colours (screen_surfaces.cpp).
int CreateScreenSurfaces();
void ReleaseScreenSurfaces();
void ShutdownDisplay();
IDirectDrawSurface* CreateOffscreenSurface(int width, int height, int systemMemory);
int PresentBackBuffer();
void PresentFrame();
void SetClipRect(int left, int top, int right, int bottom);
HDC GetScreenDC();
void ReleaseScreenDC(HDC dc);
void SetDrawMode(int rop2);
void SetVSync(int enable);
uint32_t MatchColor(IDirectDrawSurface* surface, uint32_t color);
IDirectDrawSurface* GetPrimarySurface();
IDirectDrawSurface* GetBackBuffer();
int IsPresentSuspended();

// The 8-bit palette (palette.cpp).
extern std::array<uint32_t, 256> gPaletteTable;
int CreateDisplayPalette(const RGBQUAD* colors);
void ReleaseDisplayPalette();
