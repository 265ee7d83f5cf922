// Linear interpolation is the resampling quality: one multiply-add per output
// sample between the two nearest source frames. It keeps the harmonics of the
// 1990s sound effects this framework plays and costs little enough that 32
// voices take a small fraction of one core; a band-limited filter would only
// pay off for sources far above the output rate, which games do not use.
//
// The mono loop, the one every sound effect takes, works on four output frames
// at a time with SSE2 (part of the x86-64 baseline): the four interpolation
// pairs are loaded as 64-bit pairs, interpolated together and spread to left
// and right with the gains.
#include "platform/dsound/mix_kernels.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline float Fraction(uint64_t position) { return static_cast<float>(static_cast<uint32_t>(position) >> 8) * (1.0f / 16777216.0f); }

}  // namespace

void MixMonoLinear(const float* source, uint64_t position, uint64_t step, float gainLeft, float gainRight,
                   float* accumulator, int frames) {
    int n = 0;
#if defined(__SSE2__)
    const __m128 gains = _mm_setr_ps(gainLeft, gainRight, gainLeft, gainRight);
    const __m128 fractionScale = _mm_set1_ps(1.0f / 16777216.0f);
    const __m128i fractionStep = _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(step * 4)));
    __m128i fractions = _mm_setr_epi32(static_cast<int>(static_cast<uint32_t>(position)),
                                       static_cast<int>(static_cast<uint32_t>(position + step)),
                                       static_cast<int>(static_cast<uint32_t>(position + 2 * step)),
                                       static_cast<int>(static_cast<uint32_t>(position + 3 * step)));
    for (; n + 4 <= frames; n += 4) {
        const float* p0 = source + (position >> 32);
        const float* p1 = source + ((position + step) >> 32);
        const float* p2 = source + ((position + 2 * step) >> 32);
        const float* p3 = source + ((position + 3 * step) >> 32);
        position += 4 * step;
        __m128 pairs01 = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p0));
        pairs01 = _mm_loadh_pi(pairs01, reinterpret_cast<const __m64*>(p1));
        __m128 pairs23 = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p2));
        pairs23 = _mm_loadh_pi(pairs23, reinterpret_cast<const __m64*>(p3));
        const __m128 first = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 second = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(3, 1, 3, 1));
        const __m128 fraction = _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(fractions, 8)), fractionScale);
        fractions = _mm_add_epi32(fractions, fractionStep);
        const __m128 sample = _mm_add_ps(first, _mm_mul_ps(_mm_sub_ps(second, first), fraction));
        float* out = accumulator + 2 * n;
        _mm_storeu_ps(out, _mm_add_ps(_mm_loadu_ps(out), _mm_mul_ps(_mm_unpacklo_ps(sample, sample), gains)));
        _mm_storeu_ps(out + 4, _mm_add_ps(_mm_loadu_ps(out + 4), _mm_mul_ps(_mm_unpackhi_ps(sample, sample), gains)));
    }
#endif
    for (; n < frames; ++n, position += step) {
        const float* p = source + (position >> 32);
        const float sample = p[0] + (p[1] - p[0]) * Fraction(position);
        accumulator[2 * n] += sample * gainLeft;
        accumulator[2 * n + 1] += sample * gainRight;
    }
}

void MixStereoLinear(const float* source, uint64_t position, uint64_t step, float gainLeft, float gainRight,
                     float* accumulator, int frames) {
    for (int n = 0; n < frames; ++n, position += step) {
        const float* p = source + 2 * (position >> 32);
        const float fraction = Fraction(position);
        accumulator[2 * n] += (p[0] + (p[2] - p[0]) * fraction) * gainLeft;
        accumulator[2 * n + 1] += (p[1] + (p[3] - p[1]) * fraction) * gainRight;
    }
}

void SaturateToS16(const float* accumulator, int16_t* out, int count) {
    int i = 0;
#if defined(__SSE2__)
    // Clamped first: conversion of a float beyond 32 bits would give the
    // lowest integer instead of saturating.
    const __m128 top = _mm_set1_ps(32767.0f), bottom = _mm_set1_ps(-32768.0f);
    for (; i + 8 <= count; i += 8) {
        const __m128 a = _mm_max_ps(_mm_min_ps(_mm_loadu_ps(accumulator + i), top), bottom);
        const __m128 b = _mm_max_ps(_mm_min_ps(_mm_loadu_ps(accumulator + i + 4), top), bottom);
        const __m128i low = _mm_cvtps_epi32(a);
        const __m128i high = _mm_cvtps_epi32(b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(low, high));
    }
#endif
    for (; i < count; ++i) {
        const float v = std::nearbyint(accumulator[i]);
        out[i] = static_cast<int16_t>(v > 32767.0f ? 32767.0f : v < -32768.0f ? -32768.0f : v);
    }
}
