// The mixer's inner loops. Sources are float copies of a buffer's samples in
// 16-bit units (8-bit data scaled by 256) with one guard frame after the last,
// so interpolation never reads past the end. Positions are 32.32 fixed-point
// frames; the accumulator is interleaved stereo float.
#pragma once

#include <cstdint>

// Adds `frames` output frames of a mono source, resampled by linear
// interpolation from `position` in steps of `step`, times the left and right
// gains.
void MixMonoLinear(const float* source, uint64_t position, uint64_t step, float gainLeft, float gainRight,
                   float* accumulator, int frames);

// The same for an interleaved stereo source: its left channel goes left, its
// right channel right.
void MixStereoLinear(const float* source, uint64_t position, uint64_t step, float gainLeft, float gainRight,
                     float* accumulator, int frames);

// Rounds and saturates `count` accumulated samples to 16 bits.
void SaturateToS16(const float* accumulator, int16_t* out, int count);
