// Building the 3D interfaces, the scene and the device on the display's back
// buffer, choosing the device, and tearing it all down. The camera starts at
// the scene's origin looking down +Z with +Y up (the zero direction and up
// it is given leave it there): programs move it before they draw.
#include <cstdio>
#include <cstring>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "framework/scene3d/scene3d.h"

int hardwareChosen = 0;

namespace {

// Filled by Choose3DDevice: where the choice goes.
struct DeviceChoice {
    GUID* guid;
    char* name;
    uint32_t* zBufferDepth;
    uint32_t* zBufferMemory;
};

template <typename T>
void ReleaseAndNull(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

DWORD RenderDepthFlag(int bitDepth) {
    switch (bitDepth) {
        case 16: return DDBD_16;
        case 24: return DDBD_24;
        case 32: return DDBD_32;
        default: return 0;
    }
}

D3DRMRENDERQUALITY QualityOf(int device3D) {
    if (device3D == 0) return D3DRMRENDER_WIREFRAME;
    if (device3D == 2) return D3DRMRENDER_GOURAUD;
    return D3DRMRENDER_FLAT;
}

}  // namespace

Direct3DState::Direct3DState() { std::memset(static_cast<void*>(this), 0, sizeof *this); }

Direct3DState::~Direct3DState() { Release3D(); }

int Init3D() {
    if (GetDirectDraw()->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&gDirect3D.direct3D)) < 0) {
        ErrorBox("Direct3D IMの構築に失敗しました");
        return 0;
    }
    IDirect3DRM* retained = nullptr;
    if (Direct3DRMCreate(&retained) < 0) {
        ErrorBox("Direct3D RMの構築に失敗しました");
        return 0;
    }
    if (retained->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&gDirect3D.retained)) < 0) {
        retained->Release();
        ErrorBox("DirectXのバージョンが古いためRMを取得できません");
        return 0;
    }
    retained->Release();
    if (gDirect3D.retained->CreateFrame(nullptr, &gDirect3D.scene) < 0) {
        ErrorBox("シーンの作成に失敗しました");
        return 0;
    }
    gDirect3D.scene->SetSceneBackground(0);
    if (gDirect3D.retained->CreateFrame(gDirect3D.scene, &gDirect3D.camera) < 0) {
        ErrorBox("カメラの作成に失敗しました");
        return 0;
    }
    gDirect3D.camera->SetPosition(gDirect3D.scene, 0, 0, 0);
    gDirect3D.camera->SetOrientation(gDirect3D.scene, 0, 0, 0, 0, 0, 0);
    gDirect3D.retained->CreateLight(D3DRMLIGHT_AMBIENT, 0xFF666666u, &gDirect3D.ambientLight);
    gDirect3D.scene->AddLight(gDirect3D.ambientLight);
    gDirect3D.retained->SetDefaultTextureColors(64);
    gDirect3D.retained->SetDefaultTextureShades(32);
    DeviceChoice choice{&gDirect3D.deviceGuid, gDirect3D.deviceName, &gDirect3D.zBufferDepth, &gDirect3D.zBufferMemory};
    gDirect3D.direct3D->EnumDevices(Choose3DDevice, &choice);
    DebugLog("[%s]を使用します\n", gDirect3D.deviceName);
    return Create3DDevice();
}

HRESULT Choose3DDevice(GUID* guid, const char* description, const char*, D3DDEVICEDESC* hardware,
                       D3DDEVICEDESC* software, void* context) {
    if (hardwareChosen) return D3DENUMRET_OK;
    const bool judgedByHardware = gApp.device3DFound && hardware->dcmColorModel != 0;
    const D3DDEVICEDESC* judged = judgedByHardware ? hardware : software;
    const D3DCOLORMODEL required = judgedByHardware ? D3DCOLOR_RGB : D3DCOLOR_MONO;
    if (judged->dcmColorModel != required) return D3DENUMRET_OK;
    if (gDisplay.bitDepth != 8 && !(judged->dwDeviceRenderBitDepth & RenderDepthFlag(gDisplay.bitDepth)))
        return D3DENUMRET_OK;
    uint32_t zDepth = 0;
    if (judged->dwDeviceZBufferBitDepth & DDBD_16) zDepth = 16;
    else if (judged->dwDeviceZBufferBitDepth & DDBD_24) zDepth = 24;
    else if (judged->dwDeviceZBufferBitDepth & DDBD_32) zDepth = 32;
    else return D3DENUMRET_OK;

    auto* choice = static_cast<DeviceChoice*>(context);
    *choice->guid = *guid;
    std::snprintf(choice->name, 256, "%s", description);
    *choice->zBufferDepth = zDepth;
    if (judgedByHardware) {
        DDCAPS caps{};
        caps.dwSize = sizeof caps;
        GetDirectDraw()->GetCaps(&caps, nullptr);
        const uint64_t zBufferSize =
            static_cast<uint64_t>(zDepth / 8) * static_cast<uint32_t>(gDisplay.screenWidth) * static_cast<uint32_t>(gDisplay.screenHeight);
        *choice->zBufferMemory = caps.dwVidMemFree > zBufferSize ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
        hardwareChosen = 1;
    } else {
        *choice->zBufferMemory = DDSCAPS_SYSTEMMEMORY;
        *choice->zBufferDepth = 16;
        hardwareChosen = 0;
    }
    return D3DENUMRET_OK;
}

int Create3DDevice() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_ZBUFFERBITDEPTH;
    desc.dwWidth = static_cast<DWORD>(gDisplay.screenWidth);
    desc.dwHeight = static_cast<DWORD>(gDisplay.screenHeight);
    desc.ddsCaps.dwCaps = gDirect3D.zBufferMemory | DDSCAPS_ZBUFFER;
    desc.dwZBufferBitDepth = gDirect3D.zBufferDepth;
    if (GetDirectDraw()->CreateSurface(&desc, &gDirect3D.zBuffer, nullptr) != DD_OK) {
        ErrorBox("Ｚバッファの作成に失敗しました");
        return 0;
    }
    if (GetBackBuffer()->AddAttachedSurface(gDirect3D.zBuffer) != DD_OK) {
        ErrorBox("Ｚバッファのアタッチに失敗しました");
        return 0;
    }
    if (gDirect3D.direct3D->CreateDevice(gDirect3D.deviceGuid, GetBackBuffer(), &gDirect3D.imDevice) != D3D_OK) {
        ErrorBox("Direct3D IMデバイスの作成に失敗しました");
        return 0;
    }
    if (gDirect3D.retained->CreateDeviceFromD3D(gDirect3D.direct3D, gDirect3D.imDevice, &gDirect3D.rmDevice) !=
        D3DRM_OK) {
        ErrorBox("Direct3D RMデバイスの作成に失敗しました");
        return 0;
    }
    gDirect3D.rmDevice->SetQuality(QualityOf(gAppConfig.device3D));
    gDirect3D.rmDevice->SetShades(32);
    gDirect3D.rmDevice->SetDither(FALSE);
    if (gAppConfig.linearTextureFilter == 1) {
        gDirect3D.rmDevice->SetTextureQuality(D3DRMTEXTURE_LINEAR);
    } else if (gDirect3D.rmDevice->SetTextureQuality(D3DRMTEXTURE_MIPNEAREST) != D3DRM_OK) {
        gDirect3D.rmDevice->SetTextureQuality(D3DRMTEXTURE_NEAREST);
    }
    gDirect3D.rmDevice->SetRenderMode(D3DRMRENDERMODE_BLENDEDTRANSPARENCY | D3DRMRENDERMODE_SORTEDTRANSPARENCY);
    if (gDirect3D.retained->CreateViewport(gDirect3D.rmDevice, gDirect3D.camera, 0, 0, gDirect3D.rmDevice->GetWidth(),
                                           gDirect3D.rmDevice->GetHeight(), &gDirect3D.viewport) != D3DRM_OK) {
        ErrorBox("ビューポートの作成に失敗しました");
        return 0;
    }
    gDirect3D.viewport->SetBack(1000.0f);
    gDirect3D.ready = 1;
    return 1;
}

void Release3DDevice() {
    gDirect3D.ready = 0;
    ReleaseAndNull(gDirect3D.viewport);
    ReleaseAndNull(gDirect3D.rmDevice);
    ReleaseAndNull(gDirect3D.imDevice);
    if (gDirect3D.zBuffer) {
        if (IDirectDrawSurface* backBuffer = GetBackBuffer()) backBuffer->DeleteAttachedSurface(0, gDirect3D.zBuffer);
        ReleaseAndNull(gDirect3D.zBuffer);
    }
}

int Is3DReady() { return gDirect3D.ready; }

void Handle3DActivate(uintptr_t wParam) {
    IDirect3DRMWinDevice* window = nullptr;
    if (gDirect3D.rmDevice->QueryInterface(IID_IDirect3DRMWinDevice, reinterpret_cast<void**>(&window)) < 0) return;
    window->HandleActivate(static_cast<WORD>(wParam & 0xFFFF));
    window->Release();
}

void Handle3DPaint(HDC dc) {
    IDirect3DRMWinDevice* window = nullptr;
    if (gDirect3D.rmDevice->QueryInterface(IID_IDirect3DRMWinDevice, reinterpret_cast<void**>(&window)) < 0) return;
    window->HandlePaint(dc);
    window->Release();
}

// The ambient light goes with the scene that holds it.
void Release3D() {
    for (TextureRecord& record : gDirect3D.textures) ReleaseAndNull(record.texture);
    for (IDirect3DRMMesh*& mesh : gDirect3D.meshes) ReleaseAndNull(mesh);
    Release3DDevice();
    ReleaseAndNull(gDirect3D.camera);
    ReleaseAndNull(gDirect3D.scene);
    ReleaseAndNull(gDirect3D.ambientLight);
    ReleaseAndNull(gDirect3D.retained);
    ReleaseAndNull(gDirect3D.direct3D);
}
