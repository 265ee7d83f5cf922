// The numbered image slots: 0..255 for the application, 256 the framework's
// 640 x 480 work buffer. Each slot holds a surface, its size, its colour key
// and where its pixels came from, so that a lost surface can be rebuilt.
#pragma once

#include <cstdint>

#include "platform/ddraw/ddraw.h"

constexpr int IMAGE_SLOT_COUNT = 257;
constexpr int WORK_SLOT = 256;

// Slot numbers are unsigned 16-bit values passed in ints. Most operations use
// the low 16 bits: SlotNumber gives the slot they name, or -1 when it is none
// the operation accepts (the application's 0..255, and the work buffer 256
// with WITH_WORK_SLOT). The few operations that compare the whole int ask
// IsApplicationSlot.
enum SlotRange { APPLICATION_SLOTS, WITH_WORK_SLOT };
constexpr int SlotNumber(int slot, SlotRange range) {
    slot &= 0xFFFF;
    return slot < WORK_SLOT || (range == WITH_WORK_SLOT && slot == WORK_SLOT) ? slot : -1;
}
constexpr bool IsApplicationSlot(int slot) { return slot >= 0 && slot < WORK_SLOT; }

struct ImageSlot {
    IDirectDrawSurface* surface;
    int32_t width;
    int32_t height;
    uint32_t colorKey;
    int32_t useColorKey;
    char fileName[256];
    char pluginName[256];
    int32_t videoMemory;
};

using ImageRestoreProc = void (*)(uint16_t slot);

extern ImageSlot gImageSlots[IMAGE_SLOT_COUNT];
extern int gImageVideoMemory;
extern ImageRestoreProc gImageRestoreProc;
extern int gTakePaletteFromBitmap;

// The slot table (image_slots.cpp).
int CreateImage(int slot, int width, int height, int useColorKey, uint32_t fillColor);
int GetImageSize(int slot, int* width, int* height);
void SetImageVideoMemory(int enable);
void SetImageRestoreProc(ImageRestoreProc proc);
void SetImageColorKey(int slot, uint32_t color);
void SetImageColorKeyFromCorner(int slot);
int LockImage(int slot, uint16_t** pixels, int* pitch);
int UnlockImage(int slot, void* pixels);
HDC GetImageDC(int slot);
void ReleaseImageDC(int slot, HDC dc);
void RestoreImage(int slot);
void ReleaseAllImages();
void CreateWorkBuffer();

// Windows bitmaps (bitmap_loader.cpp).
int LoadBitmapImage(int slot, const char* name, int useColorKey);
int SetImageFromBitmap(uint16_t slot, HBITMAP bitmap);

// Screenshots (screen_bitmap.cpp): the back buffer as a .bmp file; 1 written.
int SaveScreenBitmap(const char* path);

// Loaders of other formats that restoring a slot reloads through.
int LoadKbmImage(int slot, const char* name, int useColorKey);
int LoadPluginImage(int slot, const char* pluginName, const char* name, int useColorKey);

// Text into a slot (text_to_image.cpp) with the font of the text settings,
// anti-aliased from the text background colour to the text colour; line
// feeds start a new line at the left edge. 1 when drawn, 0 when the slot has
// no context (256 and above, or empty).
int DrawTextToImage(int slot, const char* text);
// The glyph colour table: entry 0 the background, entry i (1..64) per
// channel (text x 4i + background x (256 - 4i)) >> 8.
constexpr int GLYPH_COLOR_LEVELS = 65;
void FillGlyphColorTable(RGBQUAD colors[GLYPH_COLOR_LEVELS], uint32_t textColor, uint32_t backgroundColor);
