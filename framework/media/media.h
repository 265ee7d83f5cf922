// Music, CD audio and movies as a group, as the window procedure drives them.
#pragma once

void PauseAllMedia();
void ResumeAllMedia();
void CloseAllMedia();
void OnMciNotify();
