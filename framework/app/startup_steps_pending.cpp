// Start-up steps whose subsystems are not built yet. Each succeeds without
// doing anything and leaves this file when its subsystem arrives.
#include "framework/app/startup_steps.h"
#include "framework/display/display.h"
#include "framework/scene3d/scene3d.h"
#include "framework/net/network.h"
#include "framework/sound/sound.h"

DisplayState::DisplayState() = default;
DisplayState::~DisplayState() = default;
Direct3DState::Direct3DState() = default;
Direct3DState::~Direct3DState() = default;
SoundState::SoundState() = default;
SoundState::~SoundState() = default;
NetworkState::NetworkState() = default;
NetworkState::~NetworkState() = default;

// Stands for a windowed 640 x 480 display that came up.
int InitDisplay() {
    gDisplay.screenWidth = 640;
    gDisplay.screenHeight = 480;
    gDisplay.bitDepth = 16;
    gDisplay.coopLevel = gDisplay.windowedLevel;
    gDisplay.ready = 1;
    return 1;
}
void PresentFrame() {}
int IsDisplayReady() { return gDisplay.ready; }
int IsModeLocked() { return gDisplay.modeLocked; }
int IsFullScreen() { return (gDisplay.coopLevel & 1) != 0; }
int Init3D() { return 1; }
int CreateSoundDevice() { return 1; }
void CreateWorkBuffer() {}
void InitJoysticks() {}
void PollJoysticks() {}
int ClearScreen(uint32_t) { return 1; }
int SetTextFont(int, int, uint32_t, const char*) { return 1; }
void ResetDissolve(int) {}
void CloseAllMedia() {}
void PauseAllMedia() {}
void ResumeAllMedia() {}
void ReleaseAllImages() {}
