// Device enumeration and creation.
#include "platform/d3d/immediate_device.h"

#include "platform/d3d/direct3d_factory.h"
#include "platform/d3d/rasterizer.h"

namespace {

constexpr DWORD RENDER_DEPTHS = DDBD_16 | DDBD_32;
constexpr DWORD DEPTH_BUFFER_DEPTHS = DDBD_16 | DDBD_24 | DDBD_32;

D3DDEVICEDESC Describe(D3DCOLORMODEL model) {
    D3DDEVICEDESC desc{};
    desc.dwSize = sizeof desc;
    if (model == 0) return desc;  // no such side of the device
    desc.dwFlags = D3DDD_COLORMODEL | D3DDD_DEVCAPS | D3DDD_DEVICERENDERBITDEPTH | D3DDD_DEVICEZBUFFERBITDEPTH;
    desc.dcmColorModel = model;
    desc.dwDevCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_SORTINCREASINGZ | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                     D3DDEVCAPS_TEXTURESYSTEMMEMORY;
    desc.dwDeviceRenderBitDepth = RENDER_DEPTHS;
    desc.dwDeviceZBufferBitDepth = DEPTH_BUFFER_DEPTHS;
    desc.dwMaxBufferSize = 0;
    desc.dwMaxVertexCount = 65535;
    return desc;
}

struct DeviceEntry {
    GUID guid;
    const char* description;
    const char* name;
    D3DCOLORMODEL hardwareModel;
    D3DCOLORMODEL softwareModel;
};

constexpr DeviceEntry DEVICES[] = {
    {IID_IDirect3DRGBDevice, "Korven RGB renderer", "RGB", D3DCOLOR_RGB, D3DCOLOR_RGB},
    {IID_IDirect3DMonoDevice, "Korven MONO renderer", "MONO", 0, D3DCOLOR_MONO},
};

}  // namespace

HRESULT CreateDirect3D(IDirectDraw* directDraw, void** object) {
    *object = static_cast<IDirect3D2*>(new SoftwareDirect3D(directDraw));
    return D3D_OK;
}

SoftwareDirect3D::SoftwareDirect3D(IDirectDraw* directDraw) : directDraw_(directDraw) { directDraw_->AddRef(); }

SoftwareDirect3D::~SoftwareDirect3D() { directDraw_->Release(); }

HRESULT SoftwareDirect3D::EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (const DeviceEntry& entry : DEVICES) {
        GUID guid = entry.guid;
        D3DDEVICEDESC hardware = Describe(entry.hardwareModel), software = Describe(entry.softwareModel);
        if (callback(&guid, entry.description, entry.name, &hardware, &software, context) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
}

// The target must be a 3D device surface of a format the rasteriser draws.
HRESULT SoftwareDirect3D::CreateDevice(const GUID& device, IDirectDrawSurface* target, IDirect3DDevice2** out) {
    if (!out || !target) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    const DeviceEntry* entry = nullptr;
    for (const DeviceEntry& candidate : DEVICES)
        if (candidate.guid == device) entry = &candidate;
    if (!entry) return D3DERR_INVALID_DEVICE;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    if (target->GetSurfaceDesc(&desc) != DD_OK || !(desc.ddsCaps.dwCaps & DDSCAPS_3DDEVICE)) return D3DERR_INVALID_DEVICE;
    const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
    const PixelFormat format{static_cast<int>(pf.dwRGBBitCount), pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask};
    if (!CanRasterize(format, 16)) return D3DERR_INVALID_DEVICE;
    *out = new SoftwareDevice3D(entry->softwareModel, target);
    return D3D_OK;
}

SoftwareDevice3D::SoftwareDevice3D(D3DCOLORMODEL colorModel, IDirectDrawSurface* target)
    : colorModel_(colorModel), target_(target) {
    target_->AddRef();
}

SoftwareDevice3D::~SoftwareDevice3D() { target_->Release(); }

HRESULT SoftwareDevice3D::GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) {
    if (hardware) *hardware = Describe(colorModel_ == D3DCOLOR_RGB ? D3DCOLOR_RGB : 0);
    if (software) *software = Describe(colorModel_);
    return D3D_OK;
}
