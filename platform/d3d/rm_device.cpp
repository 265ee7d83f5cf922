// Device settings and access to the render surfaces.
#include "platform/d3d/rm_device.h"

#include <algorithm>

#include "platform/d3d/mesh_builder.h"
#include "platform/d3d/viewport.h"

RmDevice::RmDevice(SoftwareDevice3D* device, std::shared_ptr<DeviceRegistry> registry)
    : device_(device), registry_(std::move(registry)) {
    device_->AddRef();
    settings_.colorModel = device->ColorModel();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (device_->Target()->GetSurfaceDesc(&desc) == DD_OK) {
        width_ = desc.dwWidth;
        height_ = desc.dwHeight;
    }
    registry_->devices.push_back(this);
}

RmDevice::~RmDevice() {
    auto& devices = registry_->devices;
    devices.erase(std::find(devices.begin(), devices.end(), this));
    device_->Release();
}

HRESULT RmDevice::QueryInterface(const GUID& iid, void** object) {
    if (!object) return D3DRMERR_BADVALUE;
    if (iid != IID_IDirect3DRMWinDevice) return RmObject::QueryInterface(iid, object);
    *object = static_cast<IDirect3DRMWinDevice*>(new RmWinDevice(this));
    return D3DRM_OK;
}

HRESULT RmDevice::SetQuality(D3DRMRENDERQUALITY quality) {
    if (!IsValidQuality(quality)) return D3DRMERR_BADVALUE;
    settings_.quality = quality;
    return D3DRM_OK;
}

HRESULT RmDevice::SetShades(DWORD shades) {
    if (shades == 0 || (shades & (shades - 1)) != 0 || shades > 256) return D3DRMERR_BADVALUE;
    settings_.shades = shades;
    return D3DRM_OK;
}

HRESULT RmDevice::SetDither(BOOL dither) {
    settings_.dither = dither != 0;
    return D3DRM_OK;
}

// Nearest, linear and nearest mip-level filtering are drawn.
HRESULT RmDevice::SetTextureQuality(D3DRMTEXTUREQUALITY quality) {
    if (quality != D3DRMTEXTURE_NEAREST && quality != D3DRMTEXTURE_LINEAR && quality != D3DRMTEXTURE_MIPNEAREST)
        return D3DRMERR_BADVALUE;
    settings_.textureQuality = quality;
    return D3DRM_OK;
}

HRESULT RmDevice::SetRenderMode(DWORD flags) {
    if (flags & ~(D3DRMRENDERMODE_BLENDEDTRANSPARENCY | D3DRMRENDERMODE_SORTEDTRANSPARENCY)) return D3DRMERR_BADVALUE;
    settings_.renderMode = flags;
    return D3DRM_OK;
}

void RmDevice::RemoveViewport(RmViewport* viewport) {
    viewports_.erase(std::remove(viewports_.begin(), viewports_.end(), viewport), viewports_.end());
}

// Lost surfaces are restored first: the render surface and the Z buffer come
// back with cleared pixels, which the next Clear fills anyway.
HRESULT RmDevice::Lock(RenderTarget* target, IDirectDrawSurface** depthSurface) {
    IDirectDrawSurface* surface = device_->Target();
    if (surface->IsLost() != DD_OK) surface->Restore();
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    const HRESULT locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (locked != DD_OK) return locked;
    const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    target->color.bits = static_cast<uint8_t*>(desc.lpSurface);
    target->color.width = static_cast<int>(desc.dwWidth);
    target->color.height = static_cast<int>(desc.dwHeight);
    target->color.pitch = desc.lPitch;
    target->color.format = {static_cast<int>(pf.dwRGBBitCount), pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask};

    DDSCAPS caps{DDSCAPS_ZBUFFER};
    IDirectDrawSurface* depth = nullptr;
    if (surface->GetAttachedSurface(&caps, &depth) == DD_OK) {
        if (depth->IsLost() != DD_OK) depth->Restore();
        DDSURFACEDESC depthDesc{};
        depthDesc.dwSize = sizeof depthDesc;
        if (depth->Lock(nullptr, &depthDesc, DDLOCK_WAIT, nullptr) == DD_OK) {
            if (depthDesc.dwWidth >= desc.dwWidth && depthDesc.dwHeight >= desc.dwHeight) {
                target->depth = static_cast<uint8_t*>(depthDesc.lpSurface);
                target->depthPitch = depthDesc.lPitch;
                target->depthBits = static_cast<int>(depthDesc.ddpfPixelFormat.dwRGBBitCount);
                *depthSurface = depth;
                return DD_OK;
            }
            depth->Unlock(nullptr);
        }
        depth->Release();
    }
    ownDepth_.resize(static_cast<size_t>(desc.dwWidth) * desc.dwHeight * 2);
    target->depth = ownDepth_.data();
    target->depthPitch = static_cast<int>(desc.dwWidth) * 2;
    target->depthBits = 16;
    return DD_OK;
}

void RmDevice::Unlock(IDirectDrawSurface* depthSurface) {
    if (depthSurface) {
        depthSurface->Unlock(nullptr);
        depthSurface->Release();
    }
    device_->Target()->Unlock(nullptr);
}
