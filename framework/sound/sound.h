// The sound record: the DirectSound device, the 32 WAVE slots and the
// streaming buffer of the MOD player.
#pragma once

#include "platform/dsound/dsound.h"
#include "platform/win/threads.h"

constexpr int WAVE_SLOT_COUNT = 32;
constexpr int WAVE_NAME_SIZE = 260;  // MAX_PATH

struct SoundState {
    SoundState();
    ~SoundState();

    IDirectSound* directSound;
    IDirectSoundBuffer* buffers[WAVE_SLOT_COUNT];
    char names[WAVE_SLOT_COUNT][WAVE_NAME_SIZE];
    IDirectSoundBuffer* streamBuffer;
    IDirectSoundNotify* streamNotify;
    HANDLE streamEvents[2];
};

extern SoundState gSound;

int CreateSoundDevice();

// The WAVE slots. A name with a '.' anywhere is a file; one without is a
// "WAVE" resource of the program. Slot numbers use their low 16 bits.
int LoadWave(int slot, const char* name);
int PlayWave(int slot, int loop);
int StopWave(int slot);
int SetWaveVolume(int slot, int volume);        // 0 silent .. 100 full
int SetWavePan(int slot, int pan);              // -100 left .. 0 centre .. 100 right
int SetWaveFrequency(int slot, unsigned frequency);  // Hz; 0: the sample's own rate
int ShiftWaveFrequency(int slot, int delta);

// The MOD player's streaming buffer, made on the device by the stream thread.
int CreateStreamBuffer(const WAVEFORMATEX* format, DWORD byteCount);
int WriteStreamBlock(const void* data, DWORD blockBytes);
void ReleaseStreamBuffer();
