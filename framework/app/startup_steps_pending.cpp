// Services of subsystems that are not built yet. Each succeeds without doing
// anything and leaves this file when its subsystem arrives; of the media
// group only MOD music exists so far.
#include "framework/media/media.h"
#include "framework/media/mod_music.h"
#include "framework/net/network.h"
#include "framework/scene3d/scene3d.h"

Direct3DState::Direct3DState() = default;
Direct3DState::~Direct3DState() = default;
NetworkState::NetworkState() = default;
NetworkState::~NetworkState() = default;

int Init3D() { return 1; }
void Release3DDevice() {}
int Create3DDevice() { return 1; }
int Is3DReady() { return 0; }
void Handle3DActivate(uintptr_t) {}
void Handle3DPaint(HDC) {}
void PauseAllMedia() { PauseMod(); }
void ResumeAllMedia() { ResumeMod(); }
void CloseAllMedia() { CloseMod(); }
void OnMciNotify() {}
