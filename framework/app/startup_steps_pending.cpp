// Services of subsystems that are not built yet. Each succeeds without doing
// anything and leaves this file when its subsystem arrives.
#include "framework/media/media.h"
#include "framework/net/network.h"
#include "framework/sound/sound.h"

SoundState::SoundState() = default;
SoundState::~SoundState() = default;
NetworkState::NetworkState() = default;
NetworkState::~NetworkState() = default;

int CreateSoundDevice() { return 1; }
void PauseAllMedia() {}
void ResumeAllMedia() {}
void CloseAllMedia() {}
void OnMciNotify() {}
