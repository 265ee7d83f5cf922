// Comparison of RGB pictures that says where they differ rather than printing
// every byte: the size, the number of differing pixels and the first of them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/win/picture_rgb.h"

namespace rgb_compare {

inline bool SamePixel(const RgbImage& a, size_t ai, const RgbImage& b, size_t bi) {
    return std::memcmp(a.rgb.data() + ai, b.rgb.data() + bi, 3) == 0;
}

// Whether `of`'s pixel (x, y) lies, channel by channel, within the colours `in`
// has at (x, y) and its eight neighbours. Where colours meet (a glyph's edge)
// it may be up to 16 levels outside them, as another hinting shades it.
inline bool ColourNearby(const RgbImage& of, const RgbImage& in, int x, int y) {
    constexpr int kEdgeShading = 16;
    const uint8_t* colour = of.rgb.data() + (static_cast<size_t>(y) * of.width + x) * 3;
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, in.height - 1); ++ny)
        for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, in.width - 1); ++nx)
            for (int channel = 0; channel < 3; ++channel) {
                const int value = in.rgb[(static_cast<size_t>(ny) * in.width + nx) * 3 + channel];
                low[channel] = std::min(low[channel], value);
                high[channel] = std::max(high[channel], value);
            }
    const int slack = low[0] != high[0] || low[1] != high[1] || low[2] != high[2] ? kEdgeShading : 0;
    for (int channel = 0; channel < 3; ++channel)
        if (colour[channel] < low[channel] - slack || colour[channel] > high[channel] + slack) return false;
    return true;
}

// Counts the pixels that do not match (exactly, or with the neighbourhood
// rule when nearby is set); the failure names the first one.
inline ::testing::AssertionResult Compare(const RgbImage& actual, const RgbImage& expected, bool nearby,
                                          size_t allowed) {
    if (actual.width != expected.width || actual.height != expected.height || actual.rgb.size() != expected.rgb.size())
        return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", expected "
                                             << expected.width << "x" << expected.height;
    size_t differing = 0, first = 0;
    for (size_t i = 0; i < actual.rgb.size(); i += 3) {
        if (SamePixel(actual, i, expected, i)) continue;
        const int x = static_cast<int>(i / 3 % actual.width), y = static_cast<int>(i / 3 / actual.width);
        if (nearby && ColourNearby(actual, expected, x, y) && ColourNearby(expected, actual, x, y)) continue;
        if (differing++ == 0) first = i;
    }
    if (differing <= allowed) return ::testing::AssertionSuccess();
    const size_t pixel = first / 3;
    return ::testing::AssertionFailure() << differing << " pixels differ" << (nearby ? " beyond a pixel's shift" : "")
                                         << "; the first at (" << pixel % actual.width << ", " << pixel / actual.width
                                         << ") is " << int(actual.rgb[first]) << "," << int(actual.rgb[first + 1])
                                         << "," << int(actual.rgb[first + 2]) << ", expected "
                                         << int(expected.rgb[first]) << "," << int(expected.rgb[first + 1]) << ","
                                         << int(expected.rgb[first + 2]);
}

}  // namespace rgb_compare

inline ::testing::AssertionResult SameRgb(const RgbImage& actual, const RgbImage& expected) {
    return rgb_compare::Compare(actual, expected, false, 0);
}

// For pictures with text from the installed fonts, which another font or
// FreeType version shades a little differently: a pixel matches when each
// picture's colour there is found in the other within one pixel (see
// ColourNearby); at most 1 pixel in 5000 may still differ.
inline ::testing::AssertionResult SameRgbUpToGlyphShades(const RgbImage& actual, const RgbImage& expected) {
    return rgb_compare::Compare(actual, expected, true, actual.rgb.size() / 3 / 5000);
}
