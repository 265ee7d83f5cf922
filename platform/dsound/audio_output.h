// Where the mix goes. The first device opens the output and the last one
// released closes it; the choice is made at each opening (mixer.h describes
// the three outputs).
#pragma once

void OpenAudioOutput();
void CloseAudioOutput();
