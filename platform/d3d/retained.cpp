// The retained-mode object: it makes frames, mesh builders, lights, devices,
// viewports, animation sets and textures, and ticks every device's scenes.
#include <algorithm>
#include <memory>

#include "platform/d3d/animation_set.h"
#include "platform/d3d/light.h"
#include "platform/d3d/mesh_builder.h"
#include "platform/d3d/viewport.h"
#include "platform/d3d/x_model_reader.h"
#include "platform/win/resources.h"

namespace {

class RetainedMode final : public Counted<IDirect3DRM2> {
public:
    HRESULT QueryInterface(const GUID& iid, void** object) override {
        if (!object) return D3DRMERR_BADVALUE;
        *object = nullptr;
        if (iid != IID_IDirect3DRM2) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDirect3DRM2*>(this);
        return D3DRM_OK;
    }

    HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame2** frame) override {
        if (!frame) return D3DRMERR_BADVALUE;
        auto* created = new RmFrame;
        if (parent) parent->AddChild(created);
        *frame = created;
        return D3DRM_OK;
    }

    HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder** builder) override {
        if (!builder) return D3DRMERR_BADVALUE;
        *builder = new RmMeshBuilder;
        return D3DRM_OK;
    }

    HRESULT CreateLight(D3DRMLIGHTTYPE type, D3DCOLOR color, IDirect3DRMLight** light) override {
        if (!light) return D3DRMERR_BADVALUE;
        if (type > D3DRMLIGHT_DIRECTIONAL) return D3DRMERR_BADVALUE;
        *light = new RmLight(type, color);
        return D3DRM_OK;
    }

    HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                           IDirect3DRMLight** light) override {
        return CreateLight(type, ColorFromRGB(red, green, blue), light);
    }

    HRESULT CreateDeviceFromD3D(IDirect3D2* direct3D, IDirect3DDevice2* device, IDirect3DRMDevice2** out) override {
        if (!out) return D3DRMERR_BADVALUE;
        *out = nullptr;
        if (!direct3D || !device) return D3DRMERR_BADOBJECT;
        *out = new RmDevice(static_cast<SoftwareDevice3D*>(device), registry_);
        return D3DRM_OK;
    }

    HRESULT CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y, DWORD width,
                           DWORD height, IDirect3DRMViewport** viewport) override {
        if (!viewport) return D3DRMERR_BADVALUE;
        *viewport = nullptr;
        if (!device || !camera) return D3DRMERR_BADOBJECT;
        auto* ours = static_cast<RmDevice*>(device);
        if (width == 0 || height == 0 || x + width > ours->GetWidth() || y + height > ours->GetHeight())
            return D3DRMERR_BADVALUE;
        const RECT area{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + width), static_cast<LONG>(y + height)};
        *viewport = new RmViewport(ours, static_cast<RmFrame*>(camera), area);
        return D3DRM_OK;
    }

    HRESULT CreateAnimationSet(IDirect3DRMAnimationSet** set) override {
        if (!set) return D3DRMERR_BADVALUE;
        *set = new RmAnimationSet;
        return D3DRM_OK;
    }

    HRESULT LoadTexture(const char* fileName, IDirect3DRMTexture2** texture) override {
        if (!texture) return D3DRMERR_BADVALUE;
        *texture = nullptr;
        std::vector<uint8_t> bytes;
        if (!fileName || !ReadModelSource(fileName, D3DRMLOAD_FROMFILE, &bytes)) return D3DRMERR_FILENOTFOUND;
        return Finish(RmTexture::FromBmp(bytes.data(), bytes.size()), texture);
    }

    HRESULT LoadTextureFromResource(HMODULE, const char* name, const char* type, IDirect3DRMTexture2** texture) override {
        if (!texture) return D3DRMERR_BADVALUE;
        *texture = nullptr;
        const ResourceData* resource = name && type ? FindResource(name, type) : nullptr;
        if (!resource) return D3DRMERR_NOTFOUND;
        return Finish(RmTexture::FromBmp(resource->data, resource->size), texture);
    }

    // Texture colours and shades size the palettes of palette-based devices;
    // ours draw in 16 or 32 bits, where they change nothing.
    HRESULT SetDefaultTextureColors(DWORD colors) override { return colors ? D3DRM_OK : D3DRMERR_BADVALUE; }
    HRESULT SetDefaultTextureShades(DWORD shades) override { return shades ? D3DRM_OK : D3DRMERR_BADVALUE; }

    HRESULT Tick(D3DVALUE delta) override {
        std::vector<RmFrame*> moved;
        for (RmDevice* device : registry_->devices) {
            for (RmViewport* viewport : device->Viewports()) {
                RmFrame* scene = viewport->Camera()->Root();
                if (std::find(moved.begin(), moved.end(), scene) != moved.end()) continue;
                scene->Move(delta);
                moved.push_back(scene);
            }
        }
        for (RmDevice* device : registry_->devices) {
            for (RmViewport* viewport : device->Viewports()) {
                const HRESULT cleared = viewport->Clear();
                if (cleared != D3DRM_OK) return cleared;
                viewport->Render(viewport->Camera()->Root());
            }
            device->Update();
        }
        return D3DRM_OK;
    }

private:
    static HRESULT Finish(RmTexture* loaded, IDirect3DRMTexture2** texture) {
        if (!loaded) return D3DRMERR_BADFILE;
        *texture = loaded;
        return D3DRM_OK;
    }

    std::shared_ptr<DeviceRegistry> registry_ = std::make_shared<DeviceRegistry>();
};

}  // namespace

HRESULT Direct3DRMCreate(IDirect3DRM** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = new RetainedMode;
    return D3DRM_OK;
}
