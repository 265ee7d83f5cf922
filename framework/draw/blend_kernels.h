// Pixel kernels of the blended draws on 16-bit pixels: the half average, the
// alpha blend, saturating addition and the binary raster operations. Each has
// an SSE2 path and a portable scalar path that give the same pixels.
#pragma once

#include <cstdint>

// A target and a source rectangle of the same size; pitches in pixels.
struct BlendArea {
    uint16_t* dst;
    int dstPitch;
    const uint16_t* src;
    int srcPitch;
    int width;
    int height;
};

// When enabled, a source pixel equal to value leaves its target pixel alone.
struct BlendKey {
    bool enabled;
    uint16_t value;
};

// The red, green and blue fields of a pixel: each field's maximum after
// shifting it down (its mask) and its lowest bit position (its shift).
struct ChannelLayout {
    uint16_t mask[3];
    uint16_t shift[3];
};

enum class KernelPath { Scalar, Fastest };

// new = ((s & halfMask) + (d & halfMask)) >> 1.
void BlendHalfAverage(const BlendArea& area, BlendKey key, uint16_t halfMask,
                      KernelPath path = KernelPath::Fastest);
// Opacity alpha / 256. An odd first pixel of a row is blended alone with
// per-channel floor; the rest two pixels per 32-bit word with a bias.
void BlendAlpha(const BlendArea& area, BlendKey key, const ChannelLayout& layout, int alpha,
                KernelPath path = KernelPath::Fastest);
// Each channel of s added to that of d, saturating at the channel's mask.
void BlendAdd(const BlendArea& area, BlendKey key, const ChannelLayout& layout,
              KernelPath path = KernelPath::Fastest);
// A GDI binary raster operation on whole pixels; codes without a pixel rule
// leave the target as it was.
void BlendRop2(const BlendArea& area, BlendKey key, int rop2, KernelPath path = KernelPath::Fastest);
