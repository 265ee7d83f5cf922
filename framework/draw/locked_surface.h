// A DirectDraw surface locked for direct pixel access by the software draws:
// rows of 8- or 16-bit pixels with the pitch in pixels. The lock is released
// at the latest when the object goes out of scope.
#pragma once

#include "platform/ddraw/ddraw.h"

template <typename Pixel>
struct LockedPixels {
    IDirectDrawSurface* surface = nullptr;
    Pixel* pixels = nullptr;
    int pitch = 0;  // in pixels

    // Locks the whole surface, waiting while it is busy.
    HRESULT Lock(IDirectDrawSurface* target) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        const HRESULT result = target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
        if (result != DD_OK) return result;
        surface = target;
        pixels = static_cast<Pixel*>(desc.lpSurface);
        pitch = desc.lPitch / static_cast<int>(sizeof(Pixel));
        return DD_OK;
    }
    void Unlock() {
        if (surface) surface->Unlock(pixels);
        surface = nullptr;
    }
    Pixel* Row(int y) const { return pixels + y * pitch; }
    ~LockedPixels() { Unlock(); }
};
