// DirectDraw surfaces: pixels with a pitch, a lock or a GDI context at a time,
// an optional source colour key, attached clipper and palette, flipping chains
// that swap pixels between their members, and loss with Restore (which gives
// back zeroed pixels). Blits are in surface_blit.cpp.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/ddraw/ddraw_objects.h"

namespace {

void DescribeFormat(const PixelFormat& format, DDPIXELFORMAT* out) {
    *out = DDPIXELFORMAT{};
    out->dwSize = sizeof(DDPIXELFORMAT);
    out->dwFlags = DDPF_RGB | (format.bitsPerPixel == 8 ? DDPF_PALETTEINDEXED8 : 0);
    out->dwRGBBitCount = static_cast<DWORD>(format.bitsPerPixel);
    out->dwRBitMask = format.redMask;
    out->dwGBitMask = format.greenMask;
    out->dwBBitMask = format.blueMask;
}

}  // namespace

std::vector<SoftwareSurface*>& LiveSurfaces() {
    static auto& surfaces = *new std::vector<SoftwareSurface*>;  // outlives static destructors
    return surfaces;
}

void MarkAllSurfacesLost() {
    for (SoftwareSurface* surface : LiveSurfaces()) surface->MarkLost();
}

void SoftwareSurface::FreeStorage::operator()(uint8_t* bits) const { std::free(bits); }

SoftwareSurface::SoftwareSurface(SoftwareDevice* device, DWORD caps, int width, int height, PixelFormat format)
    : device_(device), caps_(caps) {
    pixels_.width = width;
    pixels_.height = height;
    pixels_.format = format;
    // Rows start on 16-byte boundaries so whole rows suit the vector loops.
    pixels_.pitch = (width * ((format.bitsPerPixel + 7) / 8) + 15) & ~15;
    storage_.reset(static_cast<uint8_t*>(std::aligned_alloc(16, ByteSize())));
    if (storage_) std::memset(storage_.get(), 0, ByteSize());
    pixels_.bits = storage_.get();
    LiveSurfaces().push_back(this);
}

SoftwareSurface::~SoftwareSurface() {
    if (dc_) DeleteSurfaceDC(dc_);
    if (clipper_) clipper_->Release();
    if (palette_) palette_->Release();
    for (SoftwareSurface* member : chain_)
        if (member != this) member->chainFront_ = nullptr;
    for (SoftwareSurface* surface : attached_) surface->Release();
    if (device_) device_->ForgetSurface(*this);
    auto& live = LiveSurfaces();
    live.erase(std::find(live.begin(), live.end(), this));
}

void SoftwareSurface::FormChain(std::vector<SoftwareSurface*> backBuffers) {
    chain_ = {this};
    chainFront_ = this;
    gdiBits_ = pixels_.bits;
    SoftwareSurface* previous = this;
    for (SoftwareSurface* back : backBuffers) {
        back->chainFront_ = this;
        chain_.push_back(back);
        previous->attached_.push_back(back);  // the reference creation gave
        previous = back;
    }
}

HRESULT SoftwareSurface::GetAttachedSurface(const DDSCAPS* caps, IDirectDrawSurface** surface) {
    if (!caps || !surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    for (SoftwareSurface* candidate : attached_) {
        if ((candidate->caps_ & caps->dwCaps) == caps->dwCaps) {
            candidate->AddRef();
            *surface = candidate;
            return DD_OK;
        }
    }
    return DDERR_NOTFOUND;
}

// Only Z buffers are attached by the program (to the surface it renders on).
HRESULT SoftwareSurface::AddAttachedSurface(IDirectDrawSurface* surface) {
    auto* attachment = static_cast<SoftwareSurface*>(surface);
    if (!attachment || attachment == this || !(attachment->caps_ & DDSCAPS_ZBUFFER)) return DDERR_INVALIDPARAMS;
    if (std::find(attached_.begin(), attached_.end(), attachment) != attached_.end()) return DDERR_INVALIDPARAMS;
    attachment->AddRef();
    attached_.push_back(attachment);
    return DD_OK;
}

HRESULT SoftwareSurface::DeleteAttachedSurface(DWORD, IDirectDrawSurface* surface) {
    auto found = std::find(attached_.begin(), attached_.end(), static_cast<SoftwareSurface*>(surface));
    if (!surface || found == attached_.end() || !((*found)->caps_ & DDSCAPS_ZBUFFER)) return DDERR_NOTFOUND;
    (*found)->Release();
    attached_.erase(found);
    return DD_OK;
}

HRESULT SoftwareSurface::SetClipper(IDirectDrawClipper* clipper) {
    if (clipper) clipper->AddRef();
    if (clipper_) clipper_->Release();
    clipper_ = static_cast<SoftwareClipper*>(clipper);
    return DD_OK;
}

HRESULT SoftwareSurface::SetPalette(IDirectDrawPalette* palette) {
    if (palette) palette->AddRef();
    if (palette_) palette_->Release();
    palette_ = static_cast<SoftwarePalette*>(palette);
    return DD_OK;
}

void SoftwareSurface::SwapPixels(SoftwareSurface& other) {
    std::swap(storage_, other.storage_);
    std::swap(pixels_.bits, other.pixels_.bits);
}

// The front takes the first back buffer's pixels, each back buffer the next
// one's, the last back buffer the old front's; or front and override swap.
HRESULT SoftwareSurface::Flip(IDirectDrawSurface* override, DWORD) {
    if (chainFront_ != this) return DDERR_NOTFLIPPABLE;
    for (const SoftwareSurface* member : chain_) {
        if (member->lost_) return DDERR_SURFACELOST;
        if (member->IsBusy()) return DDERR_SURFACEBUSY;
    }
    if (override) {
        auto target = std::find(chain_.begin() + 1, chain_.end(), override);
        if (target == chain_.end()) return DDERR_INVALIDPARAMS;
        SwapPixels(**target);
    } else {
        for (size_t i = 0; i + 1 < chain_.size(); ++i) chain_[i]->SwapPixels(*chain_[i + 1]);
    }
    PresentIfPrimary();
    return DD_OK;
}

HRESULT SoftwareSurface::ShowOwnPixels() {
    if (chainFront_ == this && pixels_.bits != gdiBits_) {
        auto holder = std::find_if(chain_.begin(), chain_.end(),
                                   [&](const SoftwareSurface* member) { return member->pixels_.bits == gdiBits_; });
        if (lost_ || (*holder)->lost_) return DDERR_SURFACELOST;
        if (IsBusy() || (*holder)->IsBusy()) return DDERR_SURFACEBUSY;
        SwapPixels(**holder);
    }
    PresentIfPrimary();
    return DD_OK;
}

HRESULT SoftwareSurface::Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD, HANDLE) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    if (lost_) return DDERR_SURFACELOST;
    if (IsBusy()) return DDERR_SURFACEBUSY;
    const RECT area = rect ? *rect : RECT{0, 0, pixels_.width, pixels_.height};
    if (area.left < 0 || area.top < 0 || area.left > area.right || area.top > area.bottom ||
        area.right > pixels_.width || area.bottom > pixels_.height)
        return DDERR_INVALIDRECT;
    Describe(desc);
    const int bytesPerPixel = (pixels_.format.bitsPerPixel + 7) / 8;
    desc->lpSurface = pixels_.bits + area.top * pixels_.pitch + area.left * bytesPerPixel;
    desc->dwFlags |= DDSD_LPSURFACE;
    locked_ = true;
    return DD_OK;
}

HRESULT SoftwareSurface::Unlock(void*) {
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    PresentIfPrimary();
    return DD_OK;
}

// A GDI context drawing straight into the pixels; 8-bit pixels take the
// surface's palette, else the display's.
HRESULT SoftwareSurface::GetDC(HDC* dc) {
    if (!dc) return DDERR_INVALIDPARAMS;
    *dc = nullptr;
    if (lost_) return DDERR_SURFACELOST;
    if (IsBusy()) return DDERR_SURFACEBUSY;
    PixelBuffer view = pixels_;
    view.palette = palette_ ? palette_->Colors() : device_ ? device_->DisplayPalette() : nullptr;
    dc_ = CreateSurfaceDC(view);
    if (!dc_) return DDERR_CANTCREATEDC;
    *dc = dc_;
    return DD_OK;
}

HRESULT SoftwareSurface::ReleaseDC(HDC dc) {
    if (!dc_ || dc != dc_) return DDERR_INVALIDPARAMS;
    DeleteSurfaceDC(dc_);
    dc_ = nullptr;
    PresentIfPrimary();
    return DD_OK;
}

HRESULT SoftwareSurface::GetPixelFormat(DDPIXELFORMAT* format) {
    if (!format) return DDERR_INVALIDPARAMS;
    DescribeFormat(pixels_.format, format);
    return DD_OK;
}

void SoftwareSurface::Describe(DDSURFACEDESC* desc) const {
    *desc = DDSURFACEDESC{};
    desc->dwSize = sizeof(DDSURFACEDESC);
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(pixels_.width);
    desc->dwHeight = static_cast<DWORD>(pixels_.height);
    desc->lPitch = pixels_.pitch;
    if (chainFront_ == this) {
        desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc->dwBackBufferCount = static_cast<DWORD>(chain_.size() - 1);
    }
    desc->ddckCKSrcBlt = DDCOLORKEY{key_, key_};
    DescribeFormat(pixels_.format, &desc->ddpfPixelFormat);
    desc->ddsCaps.dwCaps = caps_;
}

HRESULT SoftwareSurface::GetSurfaceDesc(DDSURFACEDESC* desc) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    Describe(desc);
    return DD_OK;
}

// Only source keys of one value are offered; a null key removes it.
HRESULT SoftwareSurface::SetColorKey(DWORD flags, DDCOLORKEY* key) {
    if (!(flags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;
    hasKey_ = key != nullptr;
    key_ = key ? key->dwColorSpaceLowValue : 0;
    return DD_OK;
}

HRESULT SoftwareSurface::IsLost() { return lost_ ? DDERR_SURFACELOST : DD_OK; }

// Restoring one member of a flipping chain restores the whole chain.
HRESULT SoftwareSurface::Restore() {
    if (chainFront_ && chainFront_ != this) return chainFront_->Restore();
    for (SoftwareSurface* member : chain_.empty() ? std::vector<SoftwareSurface*>{this} : chain_) {
        if (!member->lost_) continue;
        std::memset(member->storage_.get(), 0, member->ByteSize());
        member->lost_ = false;
    }
    return DD_OK;
}

void SoftwareSurface::PresentIfPrimary() {
    if (device_ && (caps_ & DDSCAPS_PRIMARYSURFACE)) device_->Present(*this);
}
