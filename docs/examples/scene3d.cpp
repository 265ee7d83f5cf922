// The 3D scene: a pyramid written here as a text X model, loaded into mesh
// slot 0, placed five units in front of the camera on a frame that turns by
// itself, lit by a directional light besides the scene's ambient light, and
// drawn each frame by the retained mode's Tick.
#include <cstdio>

#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/scene3d/scene3d.h"

namespace {

// Left-handed coordinates (+Z into the screen, +Y up); faces run clockwise
// seen from their front. Normals are made from the faces when a model has none.
const char kPyramid[] = R"(xof 0302txt 0032
Frame Pyramid {
  FrameTransformMatrix { 1;0;0;0; 0;1;0;0; 0;0;1;0; 0;0;0;1;; }
  Mesh {
    5;
    -1;-0.75;-1;, 1;-0.75;-1;, 1;-0.75;1;, -1;-0.75;1;, 0;0.75;0;;
    6;
    3;0,4,1;, 3;1,4,2;, 3;2,4,3;, 3;3,4,0;, 3;0,1,2;, 3;0,2,3;;
    MeshMaterialList {
      1; 6; 0,0,0,0,0,0;;
      Material { 1.0;0.6;0.2;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
    }
  }
}
)";

int gFrames = 0;

void Init() {
    if (FILE* file = std::fopen("pyramid.x", "wb")) {
        std::fputs(kPyramid, file);
        std::fclose(file);
    }
    // A name with a '.' is a file in the working directory; scale 1, the
    // device's quality, no perspective correction (the model has no texture).
    if (!LoadMesh(0, "pyramid.x", 1.0f, MESH_QUALITY_DEVICE, 0)) {
        DebugLog("the model did not load\n");
        return;
    }
    IDirect3DRMFrame2* spinner = nullptr;
    gDirect3D.retained->CreateFrame(gDirect3D.scene, &spinner);
    spinner->SetPosition(gDirect3D.scene, 0, 0, 5);        // the camera looks down +Z
    spinner->SetRotation(gDirect3D.scene, 0, 1, 0, 0.05f);  // radians per Move(1), which Tick(1) does
    spinner->AddVisual(gDirect3D.meshes[0]);
    spinner->Release();  // the scene holds it

    IDirect3DRMFrame2* sunFrame = nullptr;
    gDirect3D.retained->CreateFrame(gDirect3D.scene, &sunFrame);
    sunFrame->SetOrientation(gDirect3D.scene, 1, -1, 1, 0, 1, 0);  // the light shines along the frame's Z axis
    IDirect3DRMLight* sun = nullptr;
    gDirect3D.retained->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 1, 1, 0.9f, &sun);
    sunFrame->AddLight(sun);
    sun->Release();
    sunFrame->Release();
    gDirect3D.scene->SetSceneBackgroundRGB(0.1f, 0.1f, 0.2f);
    // The camera two units up, looking down at the pyramid (direction, then up).
    gDirect3D.camera->SetPosition(gDirect3D.scene, 0, 2, 0);
    gDirect3D.camera->SetOrientation(gDirect3D.scene, 0, -2, 5, 0, 1, 0);
}

void Frame() {
    // Moves every frame by its rotation and velocity, clears the viewport,
    // renders the scene into the back buffer; the frame loop presents it.
    if (Is3DReady()) gDirect3D.retained->Tick(1);
    if (++gFrames == 120) RequestQuit();
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.device3D = 2;  // 3D on, Gouraud shading (0 wireframe, 1 flat)
    config.appInit = Init;
    config.frameProc = Frame;
    return config;
}();
