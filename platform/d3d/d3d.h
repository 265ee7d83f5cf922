// The Direct3D immediate-mode and retained-mode interfaces the framework and
// programs on it call, as a software implementation: the DirectDraw device
// hands out IDirect3D2, which enumerates a software RGB and a software MONO
// device and makes a device on a 16 or 32-bit surface with an attached Z
// buffer; Direct3DRMCreate gives the retained mode with frames, lights,
// viewports, mesh builders, meshes, textures and animation sets, all drawn by
// our own rasteriser. X models come through Assimp. Names, flags and results
// are Direct3D's.
#pragma once

#include <cstdint>

#include "platform/ddraw/ddraw.h"

using D3DVALUE = float;
using D3DCOLOR = uint32_t;  // 0xAARRGGBB
using D3DCOLORMODEL = DWORD;
using D3DRMRENDERQUALITY = DWORD;
using D3DRMTEXTUREQUALITY = DWORD;
using D3DRMLOADOPTIONS = DWORD;
using D3DRMLIGHTTYPE = DWORD;
using D3DRMCOMBINETYPE = DWORD;

struct D3DVECTOR {
    D3DVALUE x, y, z;
};

struct D3DRMBOX {
    D3DVECTOR min, max;
};

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT D3DRM_OK = 0;
constexpr HRESULT MakeD3dResult(unsigned code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT D3DERR_INVALID_DEVICE = MakeD3dResult(705);
constexpr HRESULT D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY = MakeD3dResult(740);
constexpr HRESULT D3DRMERR_BADOBJECT = MakeD3dResult(781);
constexpr HRESULT D3DRMERR_BADTYPE = MakeD3dResult(782);
constexpr HRESULT D3DRMERR_BADALLOC = MakeD3dResult(783);
constexpr HRESULT D3DRMERR_FACEUSED = MakeD3dResult(784);
constexpr HRESULT D3DRMERR_NOTFOUND = MakeD3dResult(785);
constexpr HRESULT D3DRMERR_BADFILE = MakeD3dResult(787);
constexpr HRESULT D3DRMERR_BADVALUE = MakeD3dResult(789);
constexpr HRESULT D3DRMERR_BADMAJORVERSION = MakeD3dResult(790);
constexpr HRESULT D3DRMERR_BADPMDATA = MakeD3dResult(794);
constexpr HRESULT D3DRMERR_NOTENOUGHDATA = MakeD3dResult(796);
constexpr HRESULT D3DRMERR_FILENOTFOUND = MakeD3dResult(798);

// Colour models and device descriptions.
constexpr D3DCOLORMODEL D3DCOLOR_MONO = 1, D3DCOLOR_RGB = 2;
constexpr DWORD D3DDD_COLORMODEL = 0x1, D3DDD_DEVCAPS = 0x2, D3DDD_DEVICERENDERBITDEPTH = 0x80,
                D3DDD_DEVICEZBUFFERBITDEPTH = 0x100;
constexpr DWORD D3DDEVCAPS_FLOATTLVERTEX = 0x1, D3DDEVCAPS_SORTINCREASINGZ = 0x4,
                D3DDEVCAPS_TLVERTEXSYSTEMMEMORY = 0x40, D3DDEVCAPS_TEXTURESYSTEMMEMORY = 0x100;
constexpr HRESULT D3DENUMRET_CANCEL = 0, D3DENUMRET_OK = 1;

struct D3DDEVICEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    D3DCOLORMODEL dcmColorModel;
    DWORD dwDevCaps;
    DWORD dwDeviceRenderBitDepth;
    DWORD dwDeviceZBufferBitDepth;
    DWORD dwMaxBufferSize;
    DWORD dwMaxVertexCount;
};

// Render qualities: shade mode (bits 0-2), lighting (bits 3-5), fill (bits 6-8).
constexpr DWORD D3DRMSHADE_FLAT = 0x0, D3DRMSHADE_GOURAUD = 0x1, D3DRMSHADE_MASK = 0x7;
constexpr DWORD D3DRMLIGHT_OFF = 0x0, D3DRMLIGHT_ON = 0x8, D3DRMLIGHT_MASK = 0x38;
constexpr DWORD D3DRMFILL_POINTS = 0x0, D3DRMFILL_WIREFRAME = 0x40, D3DRMFILL_SOLID = 0x80, D3DRMFILL_MASK = 0x1C0;
constexpr D3DRMRENDERQUALITY D3DRMRENDER_WIREFRAME = D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_WIREFRAME;
constexpr D3DRMRENDERQUALITY D3DRMRENDER_UNLITFLAT = D3DRMSHADE_FLAT | D3DRMLIGHT_OFF | D3DRMFILL_SOLID;
constexpr D3DRMRENDERQUALITY D3DRMRENDER_FLAT = D3DRMSHADE_FLAT | D3DRMLIGHT_ON | D3DRMFILL_SOLID;
constexpr D3DRMRENDERQUALITY D3DRMRENDER_GOURAUD = D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | D3DRMFILL_SOLID;

constexpr D3DRMTEXTUREQUALITY D3DRMTEXTURE_NEAREST = 0, D3DRMTEXTURE_LINEAR = 1, D3DRMTEXTURE_MIPNEAREST = 2;

constexpr DWORD D3DRMRENDERMODE_BLENDEDTRANSPARENCY = 0x1, D3DRMRENDERMODE_SORTEDTRANSPARENCY = 0x2;

constexpr D3DRMLOADOPTIONS D3DRMLOAD_FROMFILE = 0x0, D3DRMLOAD_FROMRESOURCE = 0x1, D3DRMLOAD_FROMMEMORY = 0x2;

constexpr D3DRMLIGHTTYPE D3DRMLIGHT_AMBIENT = 0, D3DRMLIGHT_POINT = 1, D3DRMLIGHT_SPOT = 2,
                         D3DRMLIGHT_DIRECTIONAL = 3;

constexpr D3DRMCOMBINETYPE D3DRMCOMBINE_REPLACE = 0, D3DRMCOMBINE_BEFORE = 1, D3DRMCOMBINE_AFTER = 2;

constexpr D3DCOLOR D3DRGB(double r, double g, double b) {
    return 0xFF000000u | (static_cast<uint32_t>(r * 255) << 16) | (static_cast<uint32_t>(g * 255) << 8) |
           static_cast<uint32_t>(b * 255);
}

// A model inside the program: module, resource name and resource type.
struct D3DRMLOADRESOURCE {
    HMODULE hModule;
    const char* lpName;
    const char* lpType;
};

// A model already in memory.
struct D3DRMLOADMEMORY {
    const void* lpMemory;
    DWORD dSize;
};

// The resource type of bitmaps (the system's type number 2), under which
// texture resources are found.
inline const char* const RT_BITMAP = "BITMAP";

// Interface identifiers the program asks for.
constexpr GUID IID_IDirect3D2 = {0x6aae1ec1, 0x662a, 0x11d0, {0x88, 0x9d, 0x00, 0xaa, 0x00, 0xbb, 0xb7, 0x6a}};
constexpr GUID IID_IDirect3DRM2 = {0x4516ecc8, 0x8f20, 0x11d0, {0x9b, 0x6d, 0x00, 0x00, 0xc0, 0x78, 0x1b, 0xc3}};
constexpr GUID IID_IDirect3DRMWinDevice = {0xc5016cc0, 0xd273, 0x11ce, {0xac, 0x48, 0x00, 0x00, 0xc0, 0x38,
                                                                          0x25, 0xa1}};
constexpr GUID IID_IDirect3DRMFrame2 = {0xc3dfbd60, 0x3988, 0x11d0, {0x9e, 0xc2, 0x00, 0x00, 0xc0, 0x29, 0x1a,
                                                                       0xc3}};
constexpr GUID IID_IDirect3DRMTexture = {0xeb16cb09, 0xd271, 0x11ce, {0xac, 0x48, 0x00, 0x00, 0xc0, 0x38, 0x25,
                                                                        0xa1}};
// The two software devices.
constexpr GUID IID_IDirect3DRGBDevice = {0xa4665c60, 0x2673, 0x11cf, {0xa3, 0x1a, 0x00, 0xaa, 0x00, 0xb9, 0x33,
                                                                        0x56}};
constexpr GUID IID_IDirect3DMonoDevice = {0xf2086b20, 0x259f, 0x11cf, {0xa3, 0x1a, 0x00, 0xaa, 0x00, 0xb9, 0x33,
                                                                         0x56}};

struct IDirect3DDevice2;
struct IDirect3DRMFrame;
struct IDirect3DRMTexture;

using LPD3DENUMDEVICESCALLBACK = HRESULT (*)(GUID* guid, const char* description, const char* name,
                                             D3DDEVICEDESC* hardware, D3DDEVICEDESC* software, void* context);
using D3DRMLOADTEXTURECALLBACK = HRESULT (*)(const char* name, void* argument, IDirect3DRMTexture** texture);

// Immediate mode.
struct IDirect3D2 {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) = 0;
    virtual HRESULT CreateDevice(const GUID& device, IDirectDrawSurface* target, IDirect3DDevice2** out) = 0;

protected:
    virtual ~IDirect3D2() = default;
};

struct IDirect3DDevice2 {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) = 0;

protected:
    virtual ~IDirect3DDevice2() = default;
};

// Retained mode. Every object has a reference count, a name and the interfaces
// it answers QueryInterface for.
struct IDirect3DRMObject {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
    virtual HRESULT SetName(const char* name) = 0;
    // size is in: the room at name; out: the length with the terminating zero.
    virtual HRESULT GetName(DWORD* size, char* name) = 0;

protected:
    virtual ~IDirect3DRMObject() = default;
};

struct IDirect3DRMVisual : IDirect3DRMObject {};

struct IDirect3DRMTexture : IDirect3DRMVisual {
    // Colour-keyed transparency: texels of the transparent colour are not drawn.
    virtual HRESULT SetDecalTransparency(BOOL enable) = 0;
    virtual HRESULT SetDecalTransparentColor(D3DCOLOR color) = 0;
    virtual BOOL GetDecalTransparency() = 0;
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
};

struct IDirect3DRMTexture2 : IDirect3DRMTexture {};

struct IDirect3DRMMesh : IDirect3DRMVisual {
    virtual HRESULT GetBox(D3DRMBOX* box) = 0;
    virtual DWORD GetGroupCount() = 0;
    virtual DWORD GetFaceCount() = 0;
};

struct IDirect3DRMMeshBuilder : IDirect3DRMVisual {
    virtual HRESULT Load(const void* source, const char* objectName, D3DRMLOADOPTIONS options,
                         D3DRMLOADTEXTURECALLBACK callback, void* argument) = 0;
    virtual HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) = 0;
    virtual HRESULT SetQuality(D3DRMRENDERQUALITY quality) = 0;
    virtual D3DRMRENDERQUALITY GetQuality() = 0;
    virtual HRESULT SetPerspective(BOOL perspective) = 0;
    virtual BOOL GetPerspective() = 0;
    virtual HRESULT SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual HRESULT SetTexture(IDirect3DRMTexture* texture) = 0;
    virtual HRESULT GetBox(D3DRMBOX* box) = 0;
    virtual int GetVertexCount() = 0;
    virtual int GetFaceCount() = 0;
    // Positions, normals and texture coordinates of every vertex; faces as
    // triangles of vertex indices (3 per face). Null arrays are skipped.
    virtual HRESULT GetVertices(DWORD count, D3DVECTOR* positions, D3DVECTOR* normals, float* uvs) = 0;
    virtual HRESULT GetFaces(DWORD count, DWORD* indices) = 0;
    virtual HRESULT CreateMesh(IDirect3DRMMesh** mesh) = 0;
};

class IDirect3DRMFrameArray;

struct IDirect3DRMLight : IDirect3DRMObject {
    virtual D3DRMLIGHTTYPE GetType() = 0;
    virtual HRESULT SetColor(D3DCOLOR color) = 0;
    virtual HRESULT SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual D3DCOLOR GetColor() = 0;
    virtual HRESULT SetRange(D3DVALUE range) = 0;
    virtual HRESULT SetUmbra(D3DVALUE angle) = 0;
    virtual HRESULT SetPenumbra(D3DVALUE angle) = 0;
    virtual HRESULT SetConstantAttenuation(D3DVALUE value) = 0;
    virtual HRESULT SetLinearAttenuation(D3DVALUE value) = 0;
    virtual HRESULT SetQuadraticAttenuation(D3DVALUE value) = 0;
};

struct IDirect3DRMFrame : IDirect3DRMVisual {
    virtual HRESULT AddChild(IDirect3DRMFrame* child) = 0;
    virtual HRESULT DeleteChild(IDirect3DRMFrame* child) = 0;
    virtual HRESULT GetChildren(IDirect3DRMFrameArray** children) = 0;
    virtual HRESULT GetParent(IDirect3DRMFrame** parent) = 0;
    virtual HRESULT GetScene(IDirect3DRMFrame** scene) = 0;
    virtual HRESULT AddVisual(IDirect3DRMVisual* visual) = 0;
    virtual HRESULT DeleteVisual(IDirect3DRMVisual* visual) = 0;
    virtual HRESULT AddLight(IDirect3DRMLight* light) = 0;
    virtual HRESULT DeleteLight(IDirect3DRMLight* light) = 0;
    // Positions, directions and motions are given relative to reference
    // (null: the scene's root frame).
    virtual HRESULT SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) = 0;
    virtual HRESULT GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position) = 0;
    virtual HRESULT SetOrientation(IDirect3DRMFrame* reference, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                                   D3DVALUE uy, D3DVALUE uz) = 0;
    virtual HRESULT GetOrientation(IDirect3DRMFrame* reference, D3DVECTOR* direction, D3DVECTOR* up) = 0;
    virtual HRESULT AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) = 0;
    virtual HRESULT AddScale(D3DRMCOMBINETYPE combine, D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) = 0;
    // Turning by theta radians about the axis and moving by the velocity at every Move(1).
    virtual HRESULT SetRotation(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) = 0;
    virtual HRESULT SetVelocity(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z, BOOL withRotation) = 0;
    virtual HRESULT Move(D3DVALUE delta) = 0;
    virtual HRESULT SetSceneBackground(D3DCOLOR color) = 0;
    virtual HRESULT SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual D3DCOLOR GetSceneBackground() = 0;
};

struct IDirect3DRMFrame2 : IDirect3DRMFrame {};

class IDirect3DRMFrameArray {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual DWORD GetSize() = 0;
    virtual HRESULT GetElement(DWORD index, IDirect3DRMFrame** frame) = 0;

protected:
    virtual ~IDirect3DRMFrameArray() = default;
};

struct IDirect3DRMDevice : IDirect3DRMObject {
    virtual HRESULT SetQuality(D3DRMRENDERQUALITY quality) = 0;
    virtual D3DRMRENDERQUALITY GetQuality() = 0;
    virtual HRESULT SetShades(DWORD shades) = 0;
    virtual DWORD GetShades() = 0;
    virtual HRESULT SetDither(BOOL dither) = 0;
    virtual BOOL GetDither() = 0;
    virtual HRESULT SetTextureQuality(D3DRMTEXTUREQUALITY quality) = 0;
    virtual D3DRMTEXTUREQUALITY GetTextureQuality() = 0;
    virtual D3DCOLORMODEL GetColorModel() = 0;
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
    // The frame is complete: the target surface holds it.
    virtual HRESULT Update() = 0;
};

struct IDirect3DRMDevice2 : IDirect3DRMDevice {
    virtual HRESULT SetRenderMode(DWORD flags) = 0;
    virtual DWORD GetRenderMode() = 0;
};

struct IDirect3DRMWinDevice : IDirect3DRMObject {
    virtual HRESULT HandlePaint(HDC dc) = 0;
    virtual HRESULT HandleActivate(WORD state) = 0;
};

struct IDirect3DRMViewport : IDirect3DRMObject {
    // Fills the viewport with the scene background and the Z buffer with the far value.
    virtual HRESULT Clear() = 0;
    virtual HRESULT Render(IDirect3DRMFrame* frame) = 0;
    virtual HRESULT SetFront(D3DVALUE front) = 0;
    virtual HRESULT SetBack(D3DVALUE back) = 0;
    // The half-width of the view at distance 1, as a fraction of that distance.
    virtual HRESULT SetField(D3DVALUE field) = 0;
    virtual D3DVALUE GetFront() = 0;
    virtual D3DVALUE GetBack() = 0;
    virtual D3DVALUE GetField() = 0;
    virtual DWORD GetWidth() = 0;
    virtual DWORD GetHeight() = 0;
    virtual HRESULT GetCamera(IDirect3DRMFrame** camera) = 0;
};

struct IDirect3DRMAnimationSet : IDirect3DRMObject {
    // Loads the file's frames (with their meshes) under parent and their animations into this set.
    virtual HRESULT Load(const void* source, const char* objectName, D3DRMLOADOPTIONS options,
                         D3DRMLOADTEXTURECALLBACK callback, void* argument, IDirect3DRMFrame* parent) = 0;
    // Places every animated frame as its keys give for this time (in the file's ticks).
    virtual HRESULT SetTime(D3DVALUE time) = 0;
};

struct IDirect3DRM {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;

protected:
    virtual ~IDirect3DRM() = default;
};

struct IDirect3DRM2 : IDirect3DRM {
    virtual HRESULT CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame2** frame) = 0;
    virtual HRESULT CreateMeshBuilder(IDirect3DRMMeshBuilder** builder) = 0;
    virtual HRESULT CreateLight(D3DRMLIGHTTYPE type, D3DCOLOR color, IDirect3DRMLight** light) = 0;
    virtual HRESULT CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue,
                                   IDirect3DRMLight** light) = 0;
    virtual HRESULT CreateDeviceFromD3D(IDirect3D2* direct3D, IDirect3DDevice2* device,
                                        IDirect3DRMDevice2** out) = 0;
    virtual HRESULT CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y,
                                   DWORD width, DWORD height, IDirect3DRMViewport** viewport) = 0;
    virtual HRESULT CreateAnimationSet(IDirect3DRMAnimationSet** set) = 0;
    // A texture from a .bmp file, or from a bitmap resource of the module.
    virtual HRESULT LoadTexture(const char* fileName, IDirect3DRMTexture2** texture) = 0;
    virtual HRESULT LoadTextureFromResource(HMODULE module, const char* name, const char* type,
                                            IDirect3DRMTexture2** texture) = 0;
    virtual HRESULT SetDefaultTextureColors(DWORD colors) = 0;
    virtual HRESULT SetDefaultTextureShades(DWORD shades) = 0;
    // Moves every frame of every device's scene by delta, then renders and updates every viewport.
    virtual HRESULT Tick(D3DVALUE delta) = 0;
};

HRESULT Direct3DRMCreate(IDirect3DRM** out);
