// The 3D scene: a textured ring with a cube circling it, an X model built
// into the program with its animation set, turned on a tilted turntable and
// lit by the scene's ambient light, a directional light and a point light.
//   Q render quality (wireframe, flat, Gouraud)   F texture filtering
//   D directional light on/off   P point light on/off
// The picture follows the page's own frame count, so it is the same on every run.
#include <iterator>

#include "examples/showcase/showcase.h"
#include "framework/draw/gdi_draw.h"
#include "framework/input/input.h"
#include "framework/scene3d/scene3d.h"

namespace {

struct Choice {
    DWORD value;
    const char* label;
};

constexpr Choice kQualities[] = {
    {D3DRMRENDER_WIREFRAME, "wireframe"}, {D3DRMRENDER_FLAT, "flat"}, {D3DRMRENDER_GOURAUD, "Gouraud"}};
constexpr Choice kFilters[] = {
    {D3DRMTEXTURE_NEAREST, "nearest"}, {D3DRMTEXTURE_LINEAR, "linear"}, {D3DRMTEXTURE_MIPNEAREST, "mip-nearest"}};
constexpr float kTurnPerFrame = 0.015f;  // radians about the vertical
constexpr float kTicksPerFrame = 1.0f;   // the animation's 60 ticks a second at 60 frames a second
constexpr float kLoopTicks = 240.0f;

struct Scene {
    IDirect3DRMFrame2* turntable = nullptr;  // the model's parent, turned every frame
    IDirect3DRMAnimationSet* orbit = nullptr;
    IDirect3DRMFrame2* sunFrame = nullptr;
    IDirect3DRMFrame2* lampFrame = nullptr;
    IDirect3DRMLight* sun = nullptr;
    IDirect3DRMLight* lamp = nullptr;
    bool loaded = false;
};

Scene gScene;
int gQuality = 2;
int gFilter = 0;
bool gSunOn = true;
bool gLampOn = true;

IDirect3DRMFrame2* NewFrame(IDirect3DRMFrame* parent) {
    IDirect3DRMFrame2* frame = nullptr;
    gDirect3D.retained->CreateFrame(parent, &frame);
    return frame;
}

// Builds the scene once: the holder seven units in front of the camera and
// tilted towards it, the turntable in it, the model under the turntable, and
// the two lights on frames of their own.
void BuildScene() {
    // A frame made under a parent keeps its place in the world, so the
    // holder moves after its child is in it.
    IDirect3DRMFrame2* holder = NewFrame(gDirect3D.scene);
    gScene.turntable = NewFrame(holder);
    holder->SetPosition(gDirect3D.scene, 0, 0.2f, 7);
    holder->AddRotation(D3DRMCOMBINE_REPLACE, 1, 0, 0, -0.45f);
    holder->Release();
    gDirect3D.retained->CreateAnimationSet(&gScene.orbit);
    gScene.turntable->AddRef();  // the reference the loader takes over when the model does not load
    gScene.loaded = LoadAnimationSet("SPINNER", gScene.orbit, gScene.turntable) == 1;
    if (gScene.loaded) gScene.turntable->Release();

    gDirect3D.scene->SetSceneBackgroundRGB(0.06f, 0.07f, 0.14f);
    gScene.sunFrame = NewFrame(gDirect3D.scene);
    gScene.sunFrame->SetOrientation(gDirect3D.scene, 0.6f, -0.7f, 0.4f, 0, 1, 0);
    gDirect3D.retained->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.9f, 0.85f, 0.7f, &gScene.sun);
    gScene.lampFrame = NewFrame(gDirect3D.scene);
    gScene.lampFrame->SetPosition(gDirect3D.scene, -3.5f, 1.5f, 5);
    gDirect3D.retained->CreateLightRGB(D3DRMLIGHT_POINT, 0.3f, 0.5f, 1.0f, &gScene.lamp);
    gScene.lamp->SetRange(12);
}

void SwitchLight(IDirect3DRMFrame2* frame, IDirect3DRMLight* light, bool on) {
    frame->DeleteLight(light);
    if (on) frame->AddLight(light);
}

void EnterScene3D() {
    if (!Is3DReady()) return;
    if (!gScene.turntable) BuildScene();
    SwitchLight(gScene.sunFrame, gScene.sun, gSunOn);
    SwitchLight(gScene.lampFrame, gScene.lamp, gLampOn);
}

void HandleKeys() {
    if (KeyState('Q') == KEY_PRESSED) gQuality = (gQuality + 1) % static_cast<int>(std::size(kQualities));
    if (KeyState('F') == KEY_PRESSED) gFilter = (gFilter + 1) % static_cast<int>(std::size(kFilters));
    if (KeyState('D') == KEY_PRESSED) SwitchLight(gScene.sunFrame, gScene.sun, gSunOn = !gSunOn);
    if (KeyState('P') == KEY_PRESSED) SwitchLight(gScene.lampFrame, gScene.lamp, gLampOn = !gLampOn);
}

// The device is made again after a switch between window and full screen,
// with the configuration's settings: the page's own go on every frame.
void RenderScene(int frameInPage) {
    gDirect3D.rmDevice->SetQuality(kQualities[gQuality].value);
    gDirect3D.rmDevice->SetTextureQuality(kFilters[gFilter].value);
    gScene.turntable->AddRotation(D3DRMCOMBINE_REPLACE, 0, 1, 0, kTurnPerFrame * static_cast<float>(frameInPage));
    const float ticks = kTicksPerFrame * static_cast<float>(frameInPage);
    gScene.orbit->SetTime(ticks - kLoopTicks * static_cast<float>(static_cast<int>(ticks / kLoopTicks)));
    gDirect3D.viewport->Clear();
    gDirect3D.viewport->Render(gDirect3D.scene);
    gDirect3D.rmDevice->Update();
}

void Scene3DFrame(int frameInPage) {
    if (!Is3DReady() || !gScene.turntable) {
        DrawBackdrop();
        PrintText(16, 36, "no 3D device");
        return;
    }
    HandleKeys();
    RenderScene(frameInPage);
    if (!gScene.loaded) PrintText(16, 240, "the model SPINNER did not load");
    PrintText(16, 36, "Q quality: %-10s F filter: %-12s D sun: %-4s P lamp: %s", kQualities[gQuality].label,
              kFilters[gFilter].label, gSunOn ? "on" : "off", gLampOn ? "on" : "off");
    PrintText(16, 456, "%s   spinner.x: ring and cube, animation set \"Orbit\"", gDirect3D.deviceName);
}

}  // namespace

const ShowcasePage kScene3DPage = {"3D scene", EnterScene3D, Scene3DFrame};
