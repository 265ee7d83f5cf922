// The one mixer of the process, as other platform components and tests meet
// it. Every DirectSound buffer of every device mixes here, with the sources
// attached below, into 44,100 Hz 16-bit stereo.
//
// Output: on the desktop an SDL2 audio device opened once, in blocks of
// MIXER_DEVICE_FRAMES (512 frames, 11.6 ms; with SDL's double buffering about
// 23 ms from a Play to the speaker). On the headless backend each advance of
// the virtual clock renders exactly the frames of the time that passed, kept
// for tests on request and written to --audio-out=FILE.wav. With no audio
// output (--audio=none, or no device or sound server) the mix runs against
// the clock on a thread of its own and the samples go nowhere.
#pragma once

#include <cstdint>
#include <vector>

constexpr int MIXER_RATE = 44100;
constexpr int MIXER_CHANNELS = 2;
constexpr int MIXER_DEVICE_FRAMES = 512;

// A source the mixer pulls from: fills `frames` frames of interleaved 16-bit
// stereo at MIXER_RATE, mixed at full volume with the buffers. It runs on the
// mixing thread with the mixer locked, so it must not call DirectSound; it
// must not block either (fill silence when nothing is ready).
using MixerPullSource = void (*)(void* context, int16_t* stereo, int frames);

// Attaches a source; the result identifies it (never 0). After Detach returns
// the source is no longer called.
int AttachMixerSource(MixerPullSource source, void* context);
void DetachMixerSource(int id);

// Takes every buffer's memory away, as when another program took the sound
// device: each buffer reports DSERR_BUFFERLOST until Restore, and plays
// silence meanwhile (its cursor and notifications go on). The headless
// script's "lose-sound" does this.
void LoseSoundBuffers();

// Headless: keeps the mixed output from now on; Take returns what was kept
// (interleaved stereo) and empties the store.
void StartSoundRecording();
std::vector<int16_t> TakeSoundRecording();

// Renders `frames` frames of the mix, as the output does.
void RenderMix(int16_t* stereo, int frames);
