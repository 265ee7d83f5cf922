// Services of subsystems that are not built yet. Each succeeds without doing
// anything and leaves this file when its subsystem arrives; of the media
// group only MOD music exists so far.
#include "framework/media/media.h"
#include "framework/media/mod_music.h"

void PauseAllMedia() { PauseMod(); }
void ResumeAllMedia() { ResumeMod(); }
void CloseAllMedia() { CloseMod(); }
void OnMciNotify() {}
