// The DirectDraw interfaces the framework calls, as a software implementation:
// surfaces are pixel buffers in 8, 16, 24 or 32 bits per pixel, blits and
// fills run on our own loops, the primary surface is shown by the desktop
// backend. Names, flags and results are DirectDraw's.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/win/guid.h"
#include "platform/win/win.h"


constexpr HRESULT MakeDdResult(unsigned code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDdResult(130);
constexpr HRESULT DDERR_INVALIDRECT = MakeDdResult(150);
constexpr HRESULT DDERR_NOCOLORKEY = MakeDdResult(215);
constexpr HRESULT DDERR_NOTFOUND = MakeDdResult(255);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDdResult(430);
constexpr HRESULT DDERR_SURFACELOST = MakeDdResult(450);          // 0x887601C2
constexpr HRESULT DDERR_WASSTILLDRAWING = MakeDdResult(540);      // 0x8876021C
constexpr HRESULT DDERR_NOTLOCKED = MakeDdResult(584);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDdResult(225);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDdResult(60);
constexpr HRESULT DDERR_NOTFLIPPABLE = MakeDdResult(582);
constexpr HRESULT DDERR_CANTCREATEDC = MakeDdResult(601);

// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x01;
constexpr DWORD DDSCL_NORMAL = 0x08;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;
constexpr DWORD DDSCL_ALLOWMODEX = 0x40;

// Surface description fields and capabilities.
constexpr DWORD DDSD_CAPS = 0x1, DDSD_HEIGHT = 0x2, DDSD_WIDTH = 0x4, DDSD_PITCH = 0x8,
                DDSD_BACKBUFFERCOUNT = 0x20, DDSD_LPSURFACE = 0x800, DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSCAPS_BACKBUFFER = 0x4, DDSCAPS_COMPLEX = 0x8, DDSCAPS_FLIP = 0x10, DDSCAPS_FRONTBUFFER = 0x20,
                DDSCAPS_OFFSCREENPLAIN = 0x40, DDSCAPS_PRIMARYSURFACE = 0x200, DDSCAPS_SYSTEMMEMORY = 0x800,
                DDSCAPS_TEXTURE = 0x1000, DDSCAPS_3DDEVICE = 0x2000, DDSCAPS_VIDEOMEMORY = 0x4000,
                DDSCAPS_ZBUFFER = 0x20000;
constexpr DWORD DDCAPS_3D = 0x1, DDCAPS_BLTSTRETCH = 0x200;
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20, DDPF_RGB = 0x40;

// Blits, flips, locks, keys, palettes, vertical blank.
constexpr DWORD DDBLT_COLORFILL = 0x400, DDBLT_KEYSRC = 0x8000, DDBLT_WAIT = 0x1000000;
constexpr DWORD DDBLTFAST_NOCOLORKEY = 0x0, DDBLTFAST_SRCCOLORKEY = 0x1, DDBLTFAST_WAIT = 0x10;
constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDCKEY_SRCBLT = 0x8;
constexpr DWORD DDPCAPS_8BIT = 0x4, DDPCAPS_ALLOW256 = 0x40;
constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x1;
constexpr DWORD DDENUMRET_CANCEL = 0, DDENUMRET_OK = 1;

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDPIXELFORMAT {  // 32 bytes
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    void* lpSurface;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwFillColor;
};

struct DDCAPS {  // the caller sets dwSize to 380
    DWORD dwSize;
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwVidMemTotal;
    DWORD dwVidMemFree;
    DDSCAPS ddsCaps;
    uint8_t reserved[380 - 6 * sizeof(DWORD)];
};
static_assert(sizeof(DDCAPS) == 380);
static_assert(sizeof(DDPIXELFORMAT) == 32);

struct IDirectDrawClipper;
struct IDirectDrawPalette;

struct IDirectDrawSurface {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetAttachedSurface(const DDSCAPS* caps, IDirectDrawSurface** surface) = 0;
    virtual HRESULT AddAttachedSurface(IDirectDrawSurface* surface) = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    virtual HRESULT SetPalette(IDirectDrawPalette* palette) = 0;
    virtual HRESULT Flip(IDirectDrawSurface* override, DWORD flags) = 0;
    virtual HRESULT Blt(const RECT* dstRect, IDirectDrawSurface* src, const RECT* srcRect, DWORD flags,
                        DDBLTFX* fx) = 0;
    virtual HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* src, const RECT* srcRect, DWORD flags) = 0;
    virtual HRESULT Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Unlock(void* bits) = 0;
    virtual HRESULT GetDC(HDC* dc) = 0;
    virtual HRESULT ReleaseDC(HDC dc) = 0;
    virtual HRESULT GetPixelFormat(DDPIXELFORMAT* format) = 0;
    virtual HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) = 0;
    virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Restore() = 0;

protected:
    virtual ~IDirectDrawSurface() = default;
};

struct IDirectDrawClipper {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;

protected:
    virtual ~IDirectDrawClipper() = default;
};

struct IDirectDrawPalette {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) = 0;
    virtual HRESULT SetEntries(DWORD flags, DWORD base, DWORD count, const PALETTEENTRY* entries) = 0;

protected:
    virtual ~IDirectDrawPalette() = default;
};

struct IDirectDraw {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetCaps(DDCAPS* hardware, DDCAPS* emulation) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) = 0;
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer) = 0;
    virtual HRESULT CreatePalette(DWORD flags, const PALETTEENTRY* entries, IDirectDrawPalette** palette,
                                  void* outer) = 0;
    virtual HRESULT FlipToGDISurface() = 0;
    virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;

protected:
    virtual ~IDirectDraw() = default;
};

using LPDDENUMCALLBACKA = BOOL (*)(GUID* guid, const char* description, const char* name, void* context);

HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context);
HRESULT DirectDrawCreate(GUID* guid, IDirectDraw** device, void* outer);
