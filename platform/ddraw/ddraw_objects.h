// The software objects behind the DirectDraw interfaces: a device with its
// cooperative level and display mode, surfaces that own their pixels, clippers
// and palettes. Every object counts references and deletes itself at zero.
#pragma once

#include <memory>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/blit_loops.h"
#include "platform/gdi/pixel_buffer.h"

// Reference counting shared by all four objects.
template <typename Interface>
class Counted : public Interface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG references_ = 1;
};

class SoftwarePalette final : public Counted<IDirectDrawPalette> {
public:
    explicit SoftwarePalette(const PALETTEENTRY* entries);
    HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) override;
    HRESULT SetEntries(DWORD flags, DWORD base, DWORD count, const PALETTEENTRY* entries) override;
    const PaletteEntryRGB* Colors() const { return colors_; }

private:
    PaletteEntryRGB colors_[256];
};

class SoftwareClipper final : public Counted<IDirectDrawClipper> {
public:
    HRESULT SetHWnd(DWORD flags, HWND window) override;
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};

class SoftwareSurface;

struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

// The pixel format of a display mode's surfaces.
PixelFormat ModePixelFormat(int bitsPerPixel);

class SoftwareDevice final : public Counted<IDirectDraw> {
public:
    SoftwareDevice();
    ~SoftwareDevice() override;
    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT GetCaps(DDCAPS* hardware, DDCAPS* emulation) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) override;
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer) override;
    HRESULT CreatePalette(DWORD flags, const PALETTEENTRY* entries, IDirectDrawPalette** palette,
                          void* outer) override;
    HRESULT FlipToGDISurface() override;
    HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) override;

    // Shows the primary surface's pixels on the desktop.
    void Present(const SoftwareSurface& primary);
    // The palette 8-bit pixels show through: the primary surface's.
    const PaletteEntryRGB* DisplayPalette() const;
    void ForgetSurface(const SoftwareSurface& surface);

private:
    HRESULT CreatePrimary(const DDSURFACEDESC& desc, DWORD caps, IDirectDrawSurface** out);
    // A new surface, in video memory when asked for or when there is room.
    HRESULT MakeSurface(DWORD caps, int width, int height, PixelFormat format, SoftwareSurface** out);
    void ChangeMode(DisplayMode mode, bool fullScreen);

    HWND window_ = nullptr;
    DWORD level_ = 0;
    DisplayMode desktop_{};
    DisplayMode mode_{};
    size_t videoMemoryUsed_ = 0;
    SoftwareSurface* primary_ = nullptr;
};

class SoftwareSurface final : public Counted<IDirectDrawSurface> {
public:
    SoftwareSurface(SoftwareDevice* device, DWORD caps, int width, int height, PixelFormat format);
    ~SoftwareSurface() override;
    bool HasPixels() const { return storage_ != nullptr; }

    HRESULT GetAttachedSurface(const DDSCAPS* caps, IDirectDrawSurface** surface) override;
    HRESULT AddAttachedSurface(IDirectDrawSurface* surface) override;
    HRESULT DeleteAttachedSurface(DWORD flags, IDirectDrawSurface* surface) override;
    HRESULT SetClipper(IDirectDrawClipper* clipper) override;
    HRESULT SetPalette(IDirectDrawPalette* palette) override;
    HRESULT Flip(IDirectDrawSurface* override, DWORD flags) override;
    HRESULT Blt(const RECT* dstRect, IDirectDrawSurface* src, const RECT* srcRect, DWORD flags,
                DDBLTFX* fx) override;
    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* src, const RECT* srcRect, DWORD flags) override;
    HRESULT Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) override;
    HRESULT Unlock(void* bits) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT GetPixelFormat(DDPIXELFORMAT* format) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) override;
    HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) override;
    HRESULT IsLost() override;
    HRESULT Restore() override;

    const PixelBuffer& Pixels() const { return pixels_; }
    DWORD Caps() const { return caps_; }
    size_t ByteSize() const { return static_cast<size_t>(pixels_.pitch) * pixels_.height; }
    bool InVideoMemory() const { return (caps_ & DDSCAPS_VIDEOMEMORY) != 0; }
    const SoftwarePalette* Palette() const { return palette_; }
    // Makes this surface the front of a flipping chain of itself and the back buffers.
    void FormChain(std::vector<SoftwareSurface*> backBuffers);
    // Flips until the front shows the pixels it was created with, and shows them.
    HRESULT ShowOwnPixels();

    // Loss: a display mode change or the desktop took the pixels.
    void MarkLost() { lost_ = true; }
    void DetachDevice() { device_ = nullptr; }
    SoftwareDevice* Device() const { return device_; }

private:
    struct FreeStorage {
        void operator()(uint8_t* bits) const;
    };
    using Storage = std::unique_ptr<uint8_t, FreeStorage>;

    bool IsBusy() const { return locked_ || dc_ != nullptr; }
    // Why a blit from src into this surface cannot run now, or DD_OK.
    HRESULT BlitState(const SoftwareSurface* src) const;
    ColorKey SourceKey() const;
    void PresentIfPrimary();
    // Copies the source rectangle to (x, y), which must lie inside this surface.
    void DrawFrom(const SoftwareSurface& src, const RECT& from, int x, int y, bool keyed);
    void StretchFrom(const SoftwareSurface& src, const RECT& from, const RECT& to, bool keyed);
    void FillRect(RECT to, DWORD color);
    void Describe(DDSURFACEDESC* desc) const;
    SoftwareSurface* ChainFront() const { return chainFront_; }
    void SwapPixels(SoftwareSurface& other);

    SoftwareDevice* device_;
    DWORD caps_;
    PixelBuffer pixels_;
    Storage storage_;
    bool lost_ = false;
    bool locked_ = false;
    HDC dc_ = nullptr;
    bool hasKey_ = false;
    uint32_t key_ = 0;
    SoftwareClipper* clipper_ = nullptr;
    SoftwarePalette* palette_ = nullptr;
    // Surfaces attached to this one (back buffer, Z buffer), each holding a reference.
    std::vector<SoftwareSurface*> attached_;
    // Flipping chain: the front and its back buffers in flip order (front only).
    std::vector<SoftwareSurface*> chain_;
    SoftwareSurface* chainFront_ = nullptr;
    const uint8_t* gdiBits_ = nullptr;  // the front's own pixels, which GDI sees
};

// Every live surface of every device (for losses the desktop causes).
std::vector<SoftwareSurface*>& LiveSurfaces();
void MarkAllSurfacesLost();
