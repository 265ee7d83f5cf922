// Windows bitmaps into image slots, from .bmp files or from the bitmaps built
// into the program. Every picture format ends in SetImageFromBitmap, so the
// size rule, the palette rule and the copy are the same for all of them.
#include <cstring>
#include <memory>

#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "framework/image/image.h"
#include "framework/image/slot_loading.h"

int gTakePaletteFromBitmap = 1;

int LoadBitmapImage(int slot, const char* name, int useColorKey) {
    slot = SlotNumber(slot, APPLICATION_SLOTS);
    if (!CanLoadIntoSlot(slot, name)) return 0;
    ClaimSlot(slot, name);

    HBITMAP bitmap;
    if (!std::strchr(name, '.'))
        bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    else
        bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) {
        DebugLog("BMP[%s]のオープンに失敗しました。\n", name);
        return 0;
    }
    return FinishSlotLoad(slot, bitmap, useColorKey);
}

namespace {

// At 8 bits the first 8-bit bitmap supplies the display palette, once.
void TakePaletteFrom(HDC memoryDC, const BITMAP& header) {
    if (!gTakePaletteFromBitmap) return;
    if (header.bmBitsPixel != 8) {
        DebugLog("パレット取得に失敗しました。ビットマップが256色以外です。\n");
        return;
    }
    auto table = std::make_unique<RGBQUAD[]>(256);
    GetDIBColorTable(memoryDC, 0, 256, table.get());
    ReleaseDisplayPalette();
    CreateDisplayPalette(table.get());
    gTakePaletteFromBitmap = 0;
}

}  // namespace

int SetImageFromBitmap(uint16_t slot, HBITMAP bitmap) {
    if (SlotNumber(slot, WITH_WORK_SLOT) < 0) return 0;
    ImageSlot& s = gImageSlots[slot];
    BITMAP header{};
    GetObjectA(bitmap, sizeof(header), &header);
    s.width = header.bmWidth;
    s.height = header.bmHeight;
    s.videoMemory = gImageVideoMemory;
    s.surface = CreateOffscreenSurface(s.width, s.height, gImageVideoMemory == 0);
    if (!s.surface) {
        DebugLog("サーフェイスの作成に失敗\n");
        return 0;
    }
    HDC surfaceDC = nullptr;
    if (s.surface->GetDC(&surfaceDC) != DD_OK) {
        // Nothing could be copied: the slot stays empty rather than holding a blank surface.
        s.surface->Release();
        s.surface = nullptr;
        return 0;
    }
    HDC memoryDC = CreateCompatibleDC(surfaceDC);
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    if (gDisplay.bitDepth == 8) TakePaletteFrom(memoryDC, header);
    BitBlt(surfaceDC, 0, 0, s.width, s.height, memoryDC, 0, 0, SRCCOPY);
    SelectObject(memoryDC, previous);
    DeleteDC(memoryDC);
    s.surface->ReleaseDC(surfaceDC);
    return 1;
}
