// The services of other subsystems that start-up, the frame loop and the
// window procedure call.
#pragma once

#include <cstdint>

void CreateWorkBuffer();
void InitJoysticks();
void PollJoysticks();
int ClearScreen(uint32_t color);
int SetTextFont(int width, int height, uint32_t color, const char* face);
void ResetDissolve(int level);
void CloseAllMedia();
void PauseAllMedia();
void ResumeAllMedia();
void ReleaseAllImages();
