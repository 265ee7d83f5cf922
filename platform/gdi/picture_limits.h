// The largest picture any loader accepts: .bmp files and bitmap resources,
// KBM files and every decoder plug-in. Generous for real pictures (a 4K
// screen, 3840 x 2160, fits; so does a 16384-pixel strip), yet a few bytes
// declaring a huge picture are refused before any memory is set aside for it.
// Header-only, so that plug-ins check the same limit without linking.
#pragma once

#include <cstdint>

constexpr int64_t MAX_PICTURE_SIDE = 16384;
constexpr int64_t MAX_PICTURE_PIXELS = int64_t{1} << 23;  // 8,388,608

// Whether a picture of width x height pixels may be made (both sides >= 1).
constexpr bool PictureSizeAllowed(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= MAX_PICTURE_SIDE && height <= MAX_PICTURE_SIDE &&
           width * height <= MAX_PICTURE_PIXELS;
}
