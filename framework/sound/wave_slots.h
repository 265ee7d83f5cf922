// The WAVE slots' internal steps, shared by the slot operations and the two
// loaders.
#pragma once

#include "platform/dsound/dsound.h"

IDirectSoundBuffer* GetWaveBuffer(int slot);
void SetWaveName(int slot, const char* name);
void ReleaseWave(int slot);
void ReloadWave(int slot);
int LoadWaveResource(int slot, const char* name);
int LoadWaveFile(int slot, const char* name);
int CreateWaveBuffer(int slot, const WAVEFORMATEX* format, DWORD byteCount);
int FillWaveBuffer(int slot, const void* data, DWORD byteCount);
