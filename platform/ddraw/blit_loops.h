// Pixel loops of the software blitter: fills, copies, colour-keyed copies and
// nearest-neighbour stretches over pixels of 1, 2, 3 or 4 bytes. The keyed copy
// has an SSE2 path and a portable scalar path that give the same pixels.
// Callers clip first: every loop writes exactly the area it is given.
#pragma once

#include <cstdint>

// A rectangle of pixels in memory, from its top-left pixel.
struct PixelArea {
    uint8_t* first;
    int pitch;  // bytes from one row to the next
};

struct ConstPixelArea {
    const uint8_t* first;
    int pitch;
};

struct AreaSize {
    int width;
    int height;
    int bytesPerPixel;
};

// The colour key of a keyed copy: a source pixel p is skipped when (p & mask) == value.
struct ColorKey {
    uint32_t value;
    uint32_t mask;
};

void FillArea(PixelArea dst, AreaSize size, uint32_t value);
// Copies rows; source and target may overlap on the same surface.
void CopyArea(PixelArea dst, ConstPixelArea src, AreaSize size);
// Keyed copy on the fastest path this build has; source and target must not overlap.
void CopyAreaKeyed(PixelArea dst, ConstPixelArea src, AreaSize size, ColorKey key);
void CopyAreaKeyedScalar(PixelArea dst, ConstPixelArea src, AreaSize size, ColorKey key);
#ifdef __SSE2__
void CopyAreaKeyedSse2(PixelArea dst, ConstPixelArea src, AreaSize size, ColorKey key);
#endif

// One axis of a nearest-neighbour stretch: target pixel i, counted from the
// unclipped target edge, shows source pixel (2i + 1) * sourceLength / (2 * targetLength),
// the one under the target pixel's centre. firstTarget skips the clipped-off pixels.
struct StretchAxis {
    int sourceLength;
    int targetLength;
    int firstTarget;
};

// Stretches the source rectangle (src at its top-left, x and y give its size in
// sourceLength) onto size.width x size.height target pixels; key may be null.
void StretchArea(PixelArea dst, ConstPixelArea src, AreaSize size, StretchAxis x, StretchAxis y,
                 const ColorKey* key);
