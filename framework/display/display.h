// The display record: the DirectDraw device, screen surfaces, mode, clip
// rectangle and the 16-bit pixel-format fields the software draws use.
#pragma once

#include <cstdint>

struct IDirectDraw;
struct IDirectDrawSurface;
struct IDirectDrawClipper;
struct IDirectDrawPalette;
struct GdiRegion;

struct DisplayState {
    DisplayState();
    ~DisplayState();

    IDirectDraw* device = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* backBuffer = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirectDrawPalette* palette = nullptr;
    GdiRegion* clipRegion = nullptr;
    int32_t bufferCount = 0;
    uint32_t coopLevel = 0;
    uint32_t windowedLevel = 8;     // DDSCL_NORMAL
    uint32_t fullScreenLevel = 17;  // DDSCL_EXCLUSIVE + DDSCL_FULLSCREEN
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
    int32_t rop2 = 13;  // R2_COPYPEN
    uint16_t redMask = 0, greenMask = 0, blueMask = 0;
    uint16_t redShift = 0, greenShift = 0, blueShift = 0;
    int16_t redFromColor = 0, greenFromColor = 0, blueFromColor = 0;
    uint32_t halfMask = 0;
};

extern DisplayState gDisplay;

int InitDisplay();
void PresentFrame();
int IsDisplayReady();
int IsModeLocked();
int IsFullScreen();
