// The mixer's registry of buffers and its lock, for the buffers themselves.
#pragma once

#include <mutex>

class SoundBuffer;

std::mutex& MixerLock();
void AddMixerVoice(SoundBuffer* buffer);     // lock held
void RemoveMixerVoice(SoundBuffer* buffer);  // lock held
