// The slot table: creating empty pictures, sizes, colour keys, direct pixel
// and DC access, and rebuilding surfaces that were lost.
#include <cstring>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "framework/image/image.h"

ImageSlot gImageSlots[IMAGE_SLOT_COUNT];
int gImageVideoMemory = 0;
ImageRestoreProc gImageRestoreProc = nullptr;

namespace {

void ReleaseSurface(ImageSlot& slot) {
    if (slot.surface) slot.surface->Release();
    slot.surface = nullptr;
}

// Locks a whole surface, as the slot operations all do.
HRESULT LockWhole(IDirectDrawSurface* surface, DDSURFACEDESC* desc) {
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof(*desc);
    return surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr);
}

void StoreColorKey(ImageSlot& slot, uint32_t key) {
    slot.colorKey = key;
    DDCOLORKEY colorKey{key, key};
    slot.surface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
}

}  // namespace

int CreateImage(int slot, int width, int height, int useColorKey, uint32_t fillColor) {
    slot = SlotNumber(slot, WITH_WORK_SLOT);
    if (slot < 0 || (slot == WORK_SLOT && gImageSlots[WORK_SLOT].surface)) return 0;
    ImageSlot& s = gImageSlots[slot];
    ReleaseSurface(s);
    if (width < 0 || height < 0) return 0;
    s.width = width;
    s.height = height;
    if (width == 0 || height == 0) return 1;
    s.fileName[0] = '\0';
    s.videoMemory = gImageVideoMemory;
    s.surface = CreateOffscreenSurface(width, height, gImageVideoMemory == 0);
    if (!s.surface) {
        DebugLog("サーフェイスの作成に失敗\n");
        return 0;
    }
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = MatchColor(s.surface, fillColor);
    s.surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    SetImageColorKeyFromCorner(slot);
    s.useColorKey = useColorKey;
    return 1;
}

int GetImageSize(int slot, int* width, int* height) {
    if (!IsApplicationSlot(slot)) return 0;
    *width = gImageSlots[slot].width;
    *height = gImageSlots[slot].height;
    return 1;
}

void SetImageVideoMemory(int enable) { gImageVideoMemory = enable; }

void SetImageRestoreProc(ImageRestoreProc proc) { gImageRestoreProc = proc; }

void SetImageColorKey(int slot, uint32_t color) {
    slot = SlotNumber(slot, APPLICATION_SLOTS);
    if (slot < 0 || !gImageSlots[slot].surface) return;
    StoreColorKey(gImageSlots[slot], MatchColor(gImageSlots[slot].surface, color));
}

// The key is the top-left pixel as it stands; a failed lock keeps the old key.
void SetImageColorKeyFromCorner(int slot) {
    slot = SlotNumber(slot, WITH_WORK_SLOT);
    if (slot < 0) return;
    ImageSlot& s = gImageSlots[slot];
    if (!s.surface) return;
    DDSURFACEDESC desc;
    if (LockWhole(s.surface, &desc) != DD_OK) return;
    const int bytes = (gDisplay.bitDepth + 7) / 8;
    uint32_t word = 0;
    for (int b = 0; b < bytes && b < 4; ++b) word |= static_cast<uint32_t>(static_cast<uint8_t*>(desc.lpSurface)[b]) << (8 * b);
    s.surface->Unlock(desc.lpSurface);
    StoreColorKey(s, gDisplay.bitDepth >= 32 ? word : word & ((1u << gDisplay.bitDepth) - 1));
}

int LockImage(int slot, uint16_t** pixels, int* pitch) {
    slot = SlotNumber(slot, APPLICATION_SLOTS);
    if (slot < 0 || !gImageSlots[slot].surface) return 0;
    DDSURFACEDESC desc;
    if (LockWhole(gImageSlots[slot].surface, &desc) != DD_OK) return 0;
    *pixels = static_cast<uint16_t*>(desc.lpSurface);
    *pitch = desc.lPitch / 2;
    return 1;
}

int UnlockImage(int slot, void* pixels) {
    slot = SlotNumber(slot, APPLICATION_SLOTS);
    if (slot < 0 || !gImageSlots[slot].surface) return 0;
    gImageSlots[slot].surface->Unlock(pixels);
    return 1;
}

HDC GetImageDC(int slot) {
    if (!IsApplicationSlot(slot) || !gImageSlots[slot].surface) return nullptr;
    HDC dc = nullptr;
    return gImageSlots[slot].surface->GetDC(&dc) == DD_OK ? dc : nullptr;
}

void ReleaseImageDC(int slot, HDC dc) {
    if (!IsApplicationSlot(slot) || !gImageSlots[slot].surface) return;
    gImageSlots[slot].surface->ReleaseDC(dc);
}

void RestoreImage(int slot) {
    slot = SlotNumber(slot, WITH_WORK_SLOT);
    if (slot < 0) return;
    ImageSlot& s = gImageSlots[slot];
    if (!s.surface || s.surface->IsLost() != DDERR_SURFACELOST) return;
    DebugLog("BUFFER LOST:");
    s.surface->Restore();
    const int savedVideoMemory = gImageVideoMemory;
    gImageVideoMemory = s.videoMemory;
    if (s.fileName[0] == '\0') {
        DebugLog("BMP[%d]の内容を修復して下さい。\n", slot);
        CreateImage(slot, s.width, s.height, s.useColorKey, 0);
        if (gImageRestoreProc) gImageRestoreProc(static_cast<uint16_t>(slot));
    } else {
        DebugLog("IMG[%s]をリロードします。\n", s.fileName);
        // The loaders overwrite the names they are given, so pass copies.
        char fileName[sizeof(s.fileName)], pluginName[sizeof(s.pluginName)];
        std::memcpy(fileName, s.fileName, sizeof(fileName));
        std::memcpy(pluginName, s.pluginName, sizeof(pluginName));
        if (pluginName[0] != '\0') LoadPluginImage(slot, pluginName, fileName, s.useColorKey);
        else if (std::strstr(fileName, ".kbm")) LoadKbmImage(slot, fileName, s.useColorKey);
        else LoadBitmapImage(slot, fileName, s.useColorKey);
    }
    gImageVideoMemory = savedVideoMemory;
}

void ReleaseAllImages() {
    for (ImageSlot& s : gImageSlots) ReleaseSurface(s);
}

void CreateWorkBuffer() {
    gImageVideoMemory = 0;
    if (!CreateImage(WORK_SLOT, SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0)) DebugLog("作業用バッファの構築に失敗しました。\n");
}
