// Pictures decoded by image plug-in libraries. The library is loaded for one
// picture, decodes the whole file from memory into a DIB held in two movable
// memory blocks, and is unloaded again. The slot keeps both paths, so a lost
// surface is decoded again through the same library.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

#include "framework/dialog/diagnostics.h"
#include "framework/image/image.h"
#include "framework/image/slot_loading.h"
#include "framework/image/picture_plugin.h"
#include "platform/gdi/picture_limits.h"

namespace {

// Whether the blocks a plug-in returned hold a picture within the loaders'
// size limit, the header, masks and colour table their header announces and
// all the rows of bits it describes. A plug-in's word is not taken for sizes:
// the blocks are read, never overrun.
bool BlocksHoldTheirPicture(const BITMAPINFO* info, SIZE_T infoSize, SIZE_T bitsSize) {
    if (infoSize < sizeof(BITMAPINFOHEADER)) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > infoSize ||
        !PictureSizeAllowed(h.biWidth, std::abs(int64_t{h.biHeight})))
        return false;
    uint64_t tableBytes = 0;
    if (h.biCompression == BI_BITFIELDS && h.biSize < 52) tableBytes = 3 * sizeof(uint32_t);
    if (h.biBitCount <= 8) {
        const uint64_t full = uint64_t{1} << h.biBitCount;
        tableBytes = (h.biClrUsed != 0 && h.biClrUsed < full ? h.biClrUsed : full) * sizeof(RGBQUAD);
    }
    if (h.biSize + tableBytes > infoSize) return false;
    const uint64_t stride = (static_cast<uint64_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
    const uint64_t rows = static_cast<uint64_t>(h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight);
    return stride * rows <= bitsSize;
}

// A device-dependent bitmap made from the two blocks, or null.
HBITMAP BitmapFromBlocks(HGLOBAL infoBlock, HGLOBAL bitsBlock) {
    const auto* info = static_cast<const BITMAPINFO*>(GlobalLock(infoBlock));
    const void* bits = GlobalLock(bitsBlock);
    HBITMAP bitmap = nullptr;
    if (info && bits && BlocksHoldTheirPicture(info, GlobalSize(infoBlock), GlobalSize(bitsBlock))) {
        HDC screen = GetDC(nullptr);
        bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    }
    if (info) GlobalUnlock(infoBlock);
    if (bits) GlobalUnlock(bitsBlock);
    return bitmap;
}

// Reads the picture file whole and lets the plug-in decode it; the bitmap, or
// null after logging why not.
HBITMAP DecodePicture(const char* name, IsSupportedProc isSupported, GetPictureProc getPicture) {
    FILE* file = std::fopen(name, "rb");
    if (!file) {
        DebugLog("オープンに失敗しました\n");
        return nullptr;
    }
    // Zero-filled past the end of a short file, so that a plug-in may look at
    // the head of any file.
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(name, error);
    std::unique_ptr<char[]> contents;
    bool read = !error && size <= LONG_MAX;
    if (read) {
        contents.reset(new (std::nothrow) char[std::max<uintmax_t>(size, PICTURE_HEAD_BYTES)]());
        read = contents && std::fread(contents.get(), 1, size, file) == size;
    }
    std::fclose(file);
    if (!read) {
        DebugLog("リードエラー\n");
        return nullptr;
    }
    if (!isSupported(name, reinterpret_cast<uintptr_t>(contents.get()))) {
        DebugLog("未対応の形式です\n");
        return nullptr;
    }
    HGLOBAL info = nullptr;
    HGLOBAL bits = nullptr;
    if (getPicture(contents.get(), static_cast<long>(size), PICTURE_IN_MEMORY, &info, &bits, nullptr, 0) !=
        PICTURE_OK) {
        DebugLog("デコードに失敗しました\n");
        return nullptr;
    }
    HBITMAP bitmap = BitmapFromBlocks(info, bits);
    GlobalFree(info);
    GlobalFree(bits);
    // The plug-in said it succeeded, but its result makes no bitmap.
    if (!bitmap) DebugLog("デコードに失敗しました\n");
    return bitmap;
}

}  // namespace

int LoadPluginImage(int slot, const char* pluginName, const char* name, int useColorKey) {
    slot = SlotNumber(slot, APPLICATION_SLOTS);
    if (!CanLoadIntoSlot(slot, name, pluginName)) return 0;
    DebugLog("SPI[%s]を使用\n", pluginName);
    HMODULE library = LoadLibraryA(pluginName);
    if (!library) {
        DebugLog("SPIがロードできません\n");
        return 0;
    }
    const auto isSupported = reinterpret_cast<IsSupportedProc>(GetProcAddress(library, "IsSupported"));
    const auto getPicture = reinterpret_cast<GetPictureProc>(GetProcAddress(library, "GetPicture"));
    if (!isSupported || !getPicture) {
        DebugLog("SPI内の関数が取得できません\n");
        FreeLibrary(library);
        return 0;
    }
    DebugLog("IMG[%s]を処理\n", name);

    ClaimSlot(slot, name, pluginName);

    HBITMAP bitmap = DecodePicture(name, isSupported, getPicture);
    FreeLibrary(library);
    if (!bitmap) return 0;
    return FinishSlotLoad(slot, bitmap, useColorKey);
}
