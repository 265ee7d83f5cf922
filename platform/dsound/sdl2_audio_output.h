// The desktop's audio output: one SDL2 device pulling MIXER_DEVICE_FRAMES at
// a time from the mixer on SDL's audio thread.
#pragma once

#include <string>

// False with the reason when there is no device or sound server.
bool OpenSdl2AudioOutput(std::string* why);
void CloseSdl2AudioOutput();
