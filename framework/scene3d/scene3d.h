// The 3D record: Direct3D immediate and retained mode on the display's back
// buffer with a Z buffer, one scene with a camera and an ambient light, a
// viewport over the whole device, 256 mesh slots and a table of 256 named
// textures shared by every model that names them.
#pragma once

#include <cstdint>

#include "platform/d3d/d3d.h"
#include "platform/gdi/gdi.h"

constexpr int MESH_SLOT_COUNT = 256;
constexpr int TEXTURE_SLOT_COUNT = 256;
// The scale that keeps a model's own size.
constexpr float KEEP_MODEL_SCALE = -999.0f;
// The quality that only empties a mesh slot, and the one that follows the device.
constexpr int MESH_QUALITY_RELEASE = -2;
constexpr int MESH_QUALITY_DEVICE = -1;

struct TextureRecord {
    IDirect3DRMTexture* texture;
    char name[256];  // empty: a free record
};

struct Direct3DState {
    Direct3DState();
    ~Direct3DState();

    IDirect3D2* direct3D;
    IDirect3DDevice2* imDevice;
    IDirect3DRM2* retained;
    IDirect3DRMDevice2* rmDevice;
    IDirect3DRMFrame2* scene;
    IDirect3DRMViewport* viewport;
    IDirectDrawSurface* zBuffer;
    GUID deviceGuid;
    char deviceName[256];
    uint32_t zBufferDepth;
    uint32_t zBufferMemory;
    int ready;
    IDirect3DRMFrame2* camera;
    IDirect3DRMMesh* meshes[MESH_SLOT_COUNT];
    TextureRecord textures[TEXTURE_SLOT_COUNT];
    int loadingFromResource;
    IDirect3DRMLight* ambientLight;
};

extern Direct3DState gDirect3D;
extern int hardwareChosen;
extern int gAnimationFrameCounter;

// Device and scene (scene_device.cpp).
int Init3D();
HRESULT Choose3DDevice(GUID* guid, const char* description, const char* name, D3DDEVICEDESC* hardware,
                       D3DDEVICEDESC* software, void* context);
int Create3DDevice();
// Around a switch between full screen and window.
void Release3DDevice();
int Is3DReady();
void Handle3DActivate(uintptr_t wParam);
void Handle3DPaint(HDC dc);
void Release3D();

// Meshes, textures and animation frames (scene_models.cpp).
int LoadMesh(int slot, const char* name, float scale, int quality, int perspective);
int LoadAnimationSet(const char* name, IDirect3DRMAnimationSet* animationSet, IDirect3DRMFrame2* parentFrame);
HRESULT ProvideTexture(const char* name, void* argument, IDirect3DRMTexture** texture);
int FindTexture(const char* name);
void LoadTexture(const char* name, IDirect3DRMTexture** texture);
void NameAnimationFrames(IDirect3DRMFrame2* frame);
