// The retained-mode device: an immediate-mode device's render surface with
// the render quality, shades, dither, texture quality and render mode its
// viewports draw with. It locks the surface and its attached Z buffer (or,
// with none attached, a depth buffer of its own) for each drawing call.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d/immediate_device.h"
#include "platform/d3d/rasterizer.h"
#include "platform/d3d/rm_object.h"
#include "platform/d3d/scene_renderer.h"

class RmViewport;
struct DeviceRegistry;

class RmDevice final : public RmObject<IDirect3DRMDevice2> {
public:
    RmDevice(SoftwareDevice3D* device, std::shared_ptr<DeviceRegistry> registry);
    ~RmDevice() override;

    HRESULT QueryInterface(const GUID& iid, void** object) override;
    HRESULT SetQuality(D3DRMRENDERQUALITY quality) override;
    D3DRMRENDERQUALITY GetQuality() override { return settings_.quality; }
    HRESULT SetShades(DWORD shades) override;
    DWORD GetShades() override { return settings_.shades; }
    HRESULT SetDither(BOOL dither) override;
    BOOL GetDither() override { return settings_.dither; }
    HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality) override;
    D3DRMTEXTUREQUALITY GetTextureQuality() override { return settings_.textureQuality; }
    D3DCOLORMODEL GetColorModel() override { return settings_.colorModel; }
    DWORD GetWidth() override { return width_; }
    DWORD GetHeight() override { return height_; }
    HRESULT Update() override { return D3DRM_OK; }
    HRESULT SetRenderMode(DWORD flags) override;
    DWORD GetRenderMode() override { return settings_.renderMode; }

    const RenderSettings& Settings() const { return settings_; }
    // Locks the surfaces and hands them to draw with the clip rectangle; the
    // result of the lock (a lost render surface gives DDERR_SURFACELOST).
    template <typename Draw>
    HRESULT WithTarget(const RECT& clip, Draw draw);
    void AddViewport(RmViewport* viewport) { viewports_.push_back(viewport); }
    void RemoveViewport(RmViewport* viewport);
    const std::vector<RmViewport*>& Viewports() const { return viewports_; }

private:
    HRESULT Lock(RenderTarget* target, IDirectDrawSurface** depthSurface);
    void Unlock(IDirectDrawSurface* depthSurface);

    SoftwareDevice3D* device_;  // holds a reference
    std::shared_ptr<DeviceRegistry> registry_;
    RenderSettings settings_;
    DWORD width_ = 0, height_ = 0;
    std::vector<uint8_t> ownDepth_;
    std::vector<RmViewport*> viewports_;  // they hold a reference to this device
};

// The devices of one retained-mode object, for Tick.
struct DeviceRegistry {
    std::vector<RmDevice*> devices;
};

// IDirect3DRMWinDevice of a device. The device draws into a surface that the
// program presents itself, in 16 or 32 bits without a palette: activation
// has no palette to realise and a paint has nothing to redraw.
class RmWinDevice final : public RmObject<IDirect3DRMWinDevice> {
public:
    explicit RmWinDevice(RmDevice* device) : device_(Ref<RmDevice>::Share(device)) {}
    HRESULT HandlePaint(HDC dc) override { return dc ? D3DRM_OK : D3DRMERR_BADVALUE; }
    HRESULT HandleActivate(WORD) override { return D3DRM_OK; }

private:
    Ref<RmDevice> device_;
};

template <typename Draw>
HRESULT RmDevice::WithTarget(const RECT& clip, Draw draw) {
    RenderTarget target;
    IDirectDrawSurface* depthSurface = nullptr;
    const HRESULT locked = Lock(&target, &depthSurface);
    if (locked != DD_OK) return locked;
    target.clip = {std::max(clip.left, 0), std::max(clip.top, 0), std::min<LONG>(clip.right, target.color.width),
                   std::min<LONG>(clip.bottom, target.color.height)};
    if (target.clip.left < target.clip.right && target.clip.top < target.clip.bottom) draw(target);
    Unlock(depthSurface);
    return D3DRM_OK;
}
