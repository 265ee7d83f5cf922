// The screen surfaces: a flipping chain in full screen, a primary with a
// clipper and a separate back buffer in a window. Presenting, the lost-primary
// restore, the clip rectangle, GDI access to the back buffer and colour
// matching.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"

namespace {

void DeleteClipRegion() {
    if (gDisplay.clipRegion) DeleteObject(gDisplay.clipRegion);
    gDisplay.clipRegion = nullptr;
}

template <typename T>
void ReleaseAndNull(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

int CreateFlippingChain() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (gApp.enable3D) desc.ddsCaps.dwCaps |= DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = static_cast<DWORD>(gDisplay.bufferCount - 1);
    if (gDisplay.device->CreateSurface(&desc, &gDisplay.primary, nullptr) != DD_OK) {
        ErrorBox("複合サーフェイスの作成に失敗しました");
        return 0;
    }
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    if (gDisplay.primary->GetAttachedSurface(&caps, &gDisplay.backBuffer) != DD_OK) {
        ErrorBox("バックバッファを取得できません");
        return 0;
    }
    return 1;
}

int CreateWindowedSurfaces() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (gDisplay.device->CreateSurface(&desc, &gDisplay.primary, nullptr) != DD_OK) {
        ErrorBox("フロントバッファの作成に失敗しました");
        return 0;
    }
    gDisplay.backBuffer = CreateOffscreenSurface(gDisplay.screenWidth, gDisplay.screenHeight, 0);
    if (!gDisplay.backBuffer) {
        ErrorBox("オフスクリーンバッファの作成に失敗しました");
        return 0;
    }
    if (gDisplay.device->CreateClipper(0, &gDisplay.clipper, nullptr) != DD_OK) {
        ErrorBox("クリッパーの作成に失敗しました");
        return 0;
    }
    if (gDisplay.clipper->SetHWnd(0, gApp.hWnd) != DD_OK) {
        ErrorBox("クリッパーの関連付けに失敗しました");
        return 0;
    }
    if (gDisplay.primary->SetClipper(gDisplay.clipper) != DD_OK) {
        ErrorBox("フロントバッファがクリッパーを拒否しました");
        return 0;
    }
    return 1;
}

}  // namespace

int CreateScreenSurfaces() {
    if (!gDisplay.device) {
        ErrorBox("サーフェイス作成時点でDirectDrawが存在しません");
        return 0;
    }
    return IsFullScreen() ? CreateFlippingChain() : CreateWindowedSurfaces();
}

void ReleaseScreenSurfaces() {
    if (!gDisplay.device) return;
    DeleteClipRegion();
    ReleaseAndNull(gDisplay.clipper);
    ReleaseAndNull(gDisplay.backBuffer);
    ReleaseAndNull(gDisplay.primary);
    if (gDisplay.coopLevel & DDSCL_EXCLUSIVE) gDisplay.device->RestoreDisplayMode();
    gDisplay.ready = 0;
}

void ShutdownDisplay() {
    if (gDisplay.bitDepth == 8) ReleaseDisplayPalette();
    ReleaseScreenSurfaces();
    ReleaseAndNull(gDisplay.device);
}

IDirectDrawSurface* CreateOffscreenSurface(int width, int height, int systemMemory) {
    if (!gDisplay.device) return nullptr;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (systemMemory) desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    if (gApp.enable3D) desc.ddsCaps.dwCaps |= DDSCAPS_3DDEVICE;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    IDirectDrawSurface* surface = nullptr;
    if (gDisplay.device->CreateSurface(&desc, &surface, nullptr) != DD_OK) return nullptr;
    return surface;
}

int PresentBackBuffer() {
    if (!gDisplay.primary || !gDisplay.backBuffer) return 0;
    if (IsFullScreen()) return gDisplay.primary->Flip(nullptr, DDFLIP_WAIT) == DD_OK ? 1 : 0;
    if (gDisplay.waitVBlank) gDisplay.device->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    return gDisplay.primary->Blt(&gApp.clientRect, gDisplay.backBuffer, nullptr, DDBLT_WAIT, nullptr) == DD_OK ? 1 : 0;
}

void PresentFrame() {
    if (!gDisplay.presentSuspended && !gApp.movieShowing) PresentBackBuffer();
    if (gDisplay.primary && gDisplay.primary->IsLost() == DDERR_SURFACELOST) {
        DebugLog("Flont/Back Bufferを復元します。\n");
        gDisplay.primary->Restore();
    }
    // In a window the back buffer is a surface of its own, outside the
    // primary's chain: restored the same way, or every later frame would draw
    // nothing. The next frame draws its content again.
    if (!IsFullScreen() && gDisplay.backBuffer && gDisplay.backBuffer->IsLost() == DDERR_SURFACELOST)
        gDisplay.backBuffer->Restore();
}

void SetClipRect(int left, int top, int right, int bottom) {
    if (right > gDisplay.screenWidth) right = gDisplay.screenWidth;
    if (left < 0 || left > right) left = 0;
    if (bottom > gDisplay.screenHeight) bottom = gDisplay.screenHeight;
    if (top < 0 || top > bottom) top = 0;
    DeleteClipRegion();
    if (left == 0 && top == 0 && right == 0 && bottom == 0) {
        gDisplay.clipLeft = gDisplay.clipTop = 0;
        gDisplay.clipRight = gDisplay.screenWidth;
        gDisplay.clipBottom = gDisplay.screenHeight;
        return;
    }
    gDisplay.clipLeft = left;
    gDisplay.clipTop = top;
    gDisplay.clipRight = right;
    gDisplay.clipBottom = bottom;
    gDisplay.clipRegion = CreateRectRgn(left, top, right, bottom);
}

HDC GetScreenDC() {
    if (!gDisplay.backBuffer) return nullptr;
    HDC dc = nullptr;
    if (gDisplay.backBuffer->GetDC(&dc) != DD_OK) return nullptr;
    if (gDisplay.clipRegion) SelectClipRgn(dc, gDisplay.clipRegion);
    if (gDisplay.rop2 != R2_COPYPEN) SetROP2(dc, gDisplay.rop2);
    return dc;
}

void ReleaseScreenDC(HDC dc) {
    SelectClipRgn(dc, nullptr);
    gDisplay.backBuffer->ReleaseDC(dc);
}

void SetDrawMode(int rop2) { gDisplay.rop2 = rop2; }
void SetVSync(int enable) { gDisplay.waitVBlank = enable; }

// The pixel value GDI writes for a colour: set through a DC at (0, 0), read
// back through a lock, and the old pixel put back.
uint32_t MatchColor(IDirectDrawSurface* surface, uint32_t color) {
    uint32_t result = 0xFFFFFFFF;
    COLORREF saved = 0;
    HDC dc = nullptr;
    if (color != 0xFFFFFFFF && surface->GetDC(&dc) == DD_OK) {
        saved = GetPixel(dc, 0, 0);
        SetPixel(dc, 0, 0, color);
        surface->ReleaseDC(dc);
    }
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    HRESULT locked;
    while ((locked = surface->Lock(nullptr, &desc, 0, nullptr)) == DDERR_WASSTILLDRAWING) {
    }
    if (locked == DD_OK) {
        // The first pixel, read within the surface's own bytes.
        const int bytes = (gDisplay.bitDepth + 7) / 8;
        uint32_t word = 0;
        for (int b = 0; b < bytes && b < 4; ++b) word |= static_cast<uint32_t>(static_cast<uint8_t*>(desc.lpSurface)[b]) << (8 * b);
        result = gDisplay.bitDepth < 32 ? word & ((1u << gDisplay.bitDepth) - 1) : word;
        surface->Unlock(desc.lpSurface);
    }
    if (color != 0xFFFFFFFF && surface->GetDC(&dc) == DD_OK) {
        SetPixel(dc, 0, 0, saved);
        surface->ReleaseDC(dc);
    }
    return result;
}

IDirectDrawSurface* GetPrimarySurface() { return gDisplay.primary; }
IDirectDrawSurface* GetBackBuffer() { return gDisplay.backBuffer; }
int IsPresentSuspended() { return gDisplay.presentSuspended; }
