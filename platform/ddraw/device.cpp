// The DirectDraw device: one software renderer. It keeps the cooperative level
// and the display mode (the desktop's until a program in exclusive mode sets
// one), creates surfaces, clippers and palettes, and hands the primary
// surface's pixels to the desktop backend. A mode change shows the new mode and
// keeps every surface's pixels: they live in our memory, which nothing gives
// up when the presentation changes. Loss comes only from the headless script.
#include <algorithm>

#include "platform/d3d/direct3d_factory.h"
#include "platform/ddraw/ddraw_objects.h"
#include "platform/win/backend.h"
#include "platform/win/controls/control_layer.h"
#include "platform/win/headless/headless_backend.h"

namespace {

constexpr DWORD VIDEO_MEMORY_TOTAL = 64u << 20;
constexpr int LARGEST_SIDE = 16384;
constexpr GUID SOFTWARE_DEVICE_GUID = {0x4b6f7276, 0x656e, 0x5244, {0x53, 0x6f, 0x66, 0x74, 0x77, 0x61, 0x72, 0x65}};

bool IsModeDepth(int bitsPerPixel) {
    return bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

// The pixel format a surface description asks for; false when unsupported.
bool RequestedFormat(const DDPIXELFORMAT& pf, PixelFormat* format) {
    if (pf.dwFlags & DDPF_PALETTEINDEXED8) {
        *format = PIXEL_FORMAT_INDEXED8;
        return true;
    }
    if (!(pf.dwFlags & DDPF_RGB)) return false;
    for (const PixelFormat& known : {PIXEL_FORMAT_565, PIXEL_FORMAT_555, PIXEL_FORMAT_888, PIXEL_FORMAT_8888}) {
        if (static_cast<int>(pf.dwRGBBitCount) == known.bitsPerPixel && pf.dwRBitMask == known.redMask &&
            pf.dwGBitMask == known.greenMask && pf.dwBBitMask == known.blueMask) {
            *format = known;
            return true;
        }
    }
    return false;
}

void FillCaps(DDCAPS* caps, DWORD videoMemoryFree) {
    const DWORD size = caps->dwSize;
    *caps = DDCAPS{};
    caps->dwSize = size;
    // The 3D renderer draws into this device's surfaces and textures.
    caps->dwCaps = DDCAPS_BLTSTRETCH | DDCAPS_3D;
    caps->dwVidMemTotal = VIDEO_MEMORY_TOTAL;
    caps->dwVidMemFree = videoMemoryFree;
    caps->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                           DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER | DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY |
                           DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE | DDSCAPS_ZBUFFER;
}

}  // namespace

PixelFormat ModePixelFormat(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 8: return PIXEL_FORMAT_INDEXED8;
        case 24: return PIXEL_FORMAT_888;
        case 32: return PIXEL_FORMAT_8888;
        default: return PIXEL_FORMAT_565;
    }
}

HRESULT DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, void* context) {
    if (!callback) return DDERR_INVALIDPARAMS;
    GUID guid = SOFTWARE_DEVICE_GUID;
    callback(&guid, "Korven software renderer", "display", context);
    return DD_OK;
}

HRESULT DirectDrawCreate(GUID* guid, IDirectDraw** device, void* outer) {
    if (!device || outer) return DDERR_INVALIDPARAMS;
    *device = nullptr;
    if (guid && *guid != SOFTWARE_DEVICE_GUID) return DDERR_INVALIDPARAMS;
    if (!PlatformIsOpen()) return DDERR_GENERIC;  // no desktop to show anything on
    HeadlessSetSurfaceLossHandler(MarkAllSurfacesLost);
    *device = new SoftwareDevice;
    return DD_OK;
}

SoftwareDevice::SoftwareDevice() {
    Backend().desktopSize(&desktop_.width, &desktop_.height);
    desktop_.bitsPerPixel = GetPlatformOptions().desktopDepth;
    mode_ = desktop_;
}

SoftwareDevice::~SoftwareDevice() {
    if (level_ & DDSCL_EXCLUSIVE) ChangeMode(desktop_, false);
    for (SoftwareSurface* surface : LiveSurfaces())
        if (surface->Device() == this) surface->DetachDevice();
}

HRESULT SoftwareDevice::QueryInterface(const GUID& iid, void** object) {
    if (!object) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (iid != IID_IDirect3D2) return E_NOINTERFACE;
    return CreateDirect3D(this, object);
}

HRESULT SoftwareDevice::GetCaps(DDCAPS* hardware, DDCAPS* emulation) {
    if (!hardware && !emulation) return DDERR_INVALIDPARAMS;
    for (DDCAPS* caps : {hardware, emulation})
        if (caps && caps->dwSize != sizeof(DDCAPS)) return DDERR_INVALIDPARAMS;
    const DWORD videoMemoryFree = VIDEO_MEMORY_TOTAL - static_cast<DWORD>(videoMemoryUsed_);
    if (hardware) FillCaps(hardware, videoMemoryFree);
    if (emulation) FillCaps(emulation, videoMemoryFree);
    return DD_OK;
}

// Levels in use: normal (windowed), or exclusive full screen, optionally with
// mode X. Leaving exclusive mode gives the desktop its mode back.
HRESULT SoftwareDevice::SetCooperativeLevel(HWND window, DWORD flags) {
    const bool exclusive = (flags & ~DDSCL_ALLOWMODEX) == (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (flags != DDSCL_NORMAL && !exclusive) return DDERR_INVALIDPARAMS;
    if (window && !IsWindow(window)) return DDERR_INVALIDPARAMS;
    if (exclusive && !window) return DDERR_INVALIDPARAMS;
    const bool wasExclusive = (level_ & DDSCL_EXCLUSIVE) != 0;
    window_ = window;
    level_ = flags;
    if (exclusive && !wasExclusive) ChangeMode(mode_, true);
    if (!exclusive && wasExclusive) ChangeMode(desktop_, false);
    return DD_OK;
}

HRESULT SoftwareDevice::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    if (!(level_ & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
    if (width == 0 || height == 0 || width > LARGEST_SIDE || height > LARGEST_SIDE ||
        !IsModeDepth(static_cast<int>(bitsPerPixel)))
        return DDERR_INVALIDPARAMS;
    ChangeMode({static_cast<int>(width), static_cast<int>(height), static_cast<int>(bitsPerPixel)}, true);
    return DD_OK;
}

HRESULT SoftwareDevice::RestoreDisplayMode() {
    ChangeMode(desktop_, (level_ & DDSCL_FULLSCREEN) != 0);
    return DD_OK;
}

void SoftwareDevice::ChangeMode(DisplayMode mode, bool fullScreen) {
    mode_ = mode;
    if (PlatformIsOpen()) ShowDisplayMode(mode.width, mode.height, mode.bitsPerPixel, fullScreen);
}

HRESULT SoftwareDevice::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, void* outer) {
    if (!desc || !out || outer || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (desc->dwFlags & DDSD_LPSURFACE) return DDERR_UNSUPPORTED;
    const DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    if (caps & DDSCAPS_PRIMARYSURFACE) return CreatePrimary(*desc, caps, out);
    if (caps & (DDSCAPS_FLIP | DDSCAPS_BACKBUFFER | DDSCAPS_FRONTBUFFER)) return DDERR_INVALIDPARAMS;

    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > LARGEST_SIDE || desc->dwHeight > LARGEST_SIDE)
        return DDERR_INVALIDPARAMS;
    PixelFormat format = ModePixelFormat(mode_.bitsPerPixel);
    if (caps & DDSCAPS_ZBUFFER) {
        // Depth values of 16 bits, or of 24 or 32 bits in 32-bit cells.
        const DWORD depth = (desc->dwFlags & DDSD_ZBUFFERBITDEPTH) ? desc->dwZBufferBitDepth : 16;
        if (depth != 16 && depth != 24 && depth != 32) return DDERR_INVALIDPARAMS;
        format = PixelFormat{depth == 16 ? 16 : 32, 0, 0, 0};
    }
    else if ((desc->dwFlags & DDSD_PIXELFORMAT) && !RequestedFormat(desc->ddpfPixelFormat, &format))
        return DDERR_INVALIDPARAMS;
    SoftwareSurface* surface = nullptr;
    const HRESULT result = MakeSurface(caps, static_cast<int>(desc->dwWidth), static_cast<int>(desc->dwHeight),
                                       format, &surface);
    *out = surface;
    return result;
}

// The primary surface is the whole display in full screen and the main window's
// client area on the desktop; a complex flipping primary brings its back buffers.
HRESULT SoftwareDevice::CreatePrimary(const DDSURFACEDESC& desc, DWORD caps, IDirectDrawSurface** out) {
    if (level_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
    if (primary_) return DDERR_INVALIDPARAMS;  // one primary surface at a time
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
    const bool flipping = (caps & DDSCAPS_FLIP) != 0;
    int backBuffers = 0;
    if (flipping) {
        if (!(level_ & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
        if (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || desc.dwBackBufferCount == 0 ||
            desc.dwBackBufferCount > 8)
            return DDERR_INVALIDPARAMS;
        backBuffers = static_cast<int>(desc.dwBackBufferCount);
    }
    int width = mode_.width, height = mode_.height;
    RECT client{};
    if (!(level_ & DDSCL_EXCLUSIVE) && window_ && GetClientRect(window_, &client) && client.right > 0 &&
        client.bottom > 0) {
        width = client.right;
        height = client.bottom;
    }
    const PixelFormat format = ModePixelFormat(mode_.bitsPerPixel);
    const DWORD chainCaps = caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY);
    SoftwareSurface* front = nullptr;
    HRESULT result = MakeSurface(caps | (flipping ? DDSCAPS_FRONTBUFFER : 0), width, height, format, &front);
    if (result != DD_OK) return result;
    std::vector<SoftwareSurface*> backs;
    for (int i = 0; i < backBuffers && result == DD_OK; ++i) {
        SoftwareSurface* back = nullptr;
        result = MakeSurface(chainCaps | (i == 0 ? DDSCAPS_BACKBUFFER : 0), width, height, format, &back);
        if (back) backs.push_back(back);
    }
    if (flipping) front->FormChain(std::move(backs));  // the front now holds the back buffers
    if (result != DD_OK) {
        front->Release();
        return result;
    }
    primary_ = front;
    *out = front;
    return DD_OK;
}

HRESULT SoftwareDevice::MakeSurface(DWORD caps, int width, int height, PixelFormat format, SoftwareSurface** out) {
    *out = nullptr;
    const size_t pitch = (static_cast<size_t>(width) * ((format.bitsPerPixel + 7) / 8) + 15) & ~size_t{15};
    const size_t bytes = pitch * static_cast<size_t>(height);
    const bool roomInVideo = bytes <= VIDEO_MEMORY_TOTAL - videoMemoryUsed_;
    if ((caps & DDSCAPS_VIDEOMEMORY) && !roomInVideo) return DDERR_OUTOFMEMORY;
    if (!(caps & DDSCAPS_SYSTEMMEMORY)) caps |= roomInVideo ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
    auto* surface = new SoftwareSurface(this, caps, width, height, format);
    if (!surface->HasPixels()) {
        surface->Release();
        return DDERR_OUTOFMEMORY;
    }
    if (surface->InVideoMemory()) videoMemoryUsed_ += surface->ByteSize();
    *out = surface;
    return DD_OK;
}

void SoftwareDevice::ForgetSurface(const SoftwareSurface& surface) {
    if (surface.InVideoMemory()) videoMemoryUsed_ -= std::min(videoMemoryUsed_, surface.ByteSize());
    if (primary_ == &surface) primary_ = nullptr;
}

HRESULT SoftwareDevice::CreateClipper(DWORD, IDirectDrawClipper** clipper, void* outer) {
    if (!clipper || outer) return DDERR_INVALIDPARAMS;
    *clipper = new SoftwareClipper;
    return DD_OK;
}

HRESULT SoftwareDevice::CreatePalette(DWORD flags, const PALETTEENTRY* entries, IDirectDrawPalette** palette,
                                      void* outer) {
    if (!palette || outer) return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (!(flags & DDPCAPS_8BIT) || !entries) return DDERR_INVALIDPARAMS;
    *palette = new SoftwarePalette(entries);
    return DD_OK;
}

// Brings the primary's own pixels (the ones GDI draws on) to the front of a
// flipping chain and shows them.
HRESULT SoftwareDevice::FlipToGDISurface() {
    return primary_ ? primary_->ShowOwnPixels() : DD_OK;
}

HRESULT SoftwareDevice::WaitForVerticalBlank(DWORD flags, HANDLE) {
    return flags == DDWAITVB_BLOCKBEGIN ? DD_OK : DDERR_INVALIDPARAMS;
}

void SoftwareDevice::Present(const SoftwareSurface& primary) {
    if (&primary != primary_ || !PlatformIsOpen()) return;
    PixelBuffer picture = primary.Pixels();
    picture.palette = DisplayPalette();
    PresentPicture(picture);
}

const PaletteEntryRGB* SoftwareDevice::DisplayPalette() const {
    return primary_ && primary_->Palette() ? primary_->Palette()->Colors() : nullptr;
}
