// A retained-mode scene over a 3D render surface, as the rendering tests and
// the 3D benchmark build it: a 16-bit Z buffer attached to the surface, the
// RGB device, the retained mode over it, a scene frame with a camera, an
// ambient and a directional light, and a viewport over the whole surface.
#pragma once

#include "platform/d3d/d3d.h"

struct SceneSettings {
    D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD;
    D3DRMTEXTUREQUALITY textureQuality = D3DRMTEXTURE_NEAREST;
    D3DCOLOR ambient = 0xFF404040u;
    D3DVALUE sun[3] = {1, 1, 1};
    D3DVECTOR sunDirection = {0, 0, 1};  // where the light shines
};

class RetainedScene {
public:
    // Takes over the surface; ok() says whether every step succeeded.
    RetainedScene(IDirectDraw* directDraw, IDirectDrawSurface* target, int width, int height,
                  const SceneSettings& settings)
        : surface(target) {
        ok_ = target && Build(directDraw, width, height, settings);
    }
    ~RetainedScene() {
        Release(viewport), Release(camera), Release(scene), Release(device);
        Release(retained), Release(imDevice), Release(direct3D), Release(surface);
    }
    RetainedScene(const RetainedScene&) = delete;
    RetainedScene& operator=(const RetainedScene&) = delete;

    bool ok() const { return ok_; }
    HRESULT Render() {
        const HRESULT cleared = viewport->Clear();
        return cleared != D3DRM_OK ? cleared : viewport->Render(scene);
    }

    IDirectDrawSurface* surface = nullptr;
    IDirect3D2* direct3D = nullptr;
    IDirect3DDevice2* imDevice = nullptr;
    IDirect3DRM2* retained = nullptr;
    IDirect3DRMDevice2* device = nullptr;
    IDirect3DRMFrame2* scene = nullptr;
    IDirect3DRMFrame2* camera = nullptr;
    IDirect3DRMViewport* viewport = nullptr;

private:
    template <typename T>
    static void Release(T* object) {
        if (object) object->Release();
    }

    bool Build(IDirectDraw* directDraw, int width, int height, const SceneSettings& settings) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH;
        desc.dwWidth = static_cast<DWORD>(width);
        desc.dwHeight = static_cast<DWORD>(height);
        desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
        desc.dwZBufferBitDepth = 16;
        IDirectDrawSurface* zBuffer = nullptr;
        if (directDraw->CreateSurface(&desc, &zBuffer, nullptr) != DD_OK) return false;
        const HRESULT attached = surface->AddAttachedSurface(zBuffer);
        zBuffer->Release();
        IDirect3DRM* first = nullptr;
        if (attached != DD_OK || directDraw->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&direct3D)) != DD_OK ||
            direct3D->CreateDevice(IID_IDirect3DRGBDevice, surface, &imDevice) != D3D_OK ||
            Direct3DRMCreate(&first) != D3DRM_OK)
            return false;
        const HRESULT queried = first->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&retained));
        first->Release();
        if (queried != D3DRM_OK || retained->CreateDeviceFromD3D(direct3D, imDevice, &device) != D3DRM_OK ||
            device->SetQuality(settings.quality) != D3DRM_OK ||
            device->SetTextureQuality(settings.textureQuality) != D3DRM_OK ||
            retained->CreateFrame(nullptr, &scene) != D3DRM_OK || retained->CreateFrame(scene, &camera) != D3DRM_OK)
            return false;
        IDirect3DRMLight* ambient = nullptr;
        IDirect3DRMLight* sun = nullptr;
        IDirect3DRMFrame2* sunFrame = nullptr;
        if (retained->CreateLight(D3DRMLIGHT_AMBIENT, settings.ambient, &ambient) != D3DRM_OK ||
            retained->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, settings.sun[0], settings.sun[1], settings.sun[2], &sun) !=
                D3DRM_OK ||
            retained->CreateFrame(scene, &sunFrame) != D3DRM_OK) {
            Release(ambient), Release(sun);
            return false;
        }
        const D3DVECTOR& d = settings.sunDirection;
        const bool lit = scene->AddLight(ambient) == D3DRM_OK &&
                         sunFrame->SetOrientation(scene, d.x, d.y, d.z, 0, 1, 0) == D3DRM_OK &&
                         sunFrame->AddLight(sun) == D3DRM_OK;
        ambient->Release(), sun->Release(), sunFrame->Release();
        return lit && retained->CreateViewport(device, camera, 0, 0, static_cast<DWORD>(width),
                                               static_cast<DWORD>(height), &viewport) == D3DRM_OK;
    }

    bool ok_ = false;
};
