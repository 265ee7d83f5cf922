// The sound record: the sound device and the WAVE slots.
#pragma once

struct SoundState {
    SoundState();
    ~SoundState();
};

extern SoundState gSound;

int CreateSoundDevice();
