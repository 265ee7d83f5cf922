// Comparison of RGB pictures that says where they differ rather than printing
// every byte: the size, the number of differing pixels and the first of them.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

#include "platform/win/picture_rgb.h"

inline ::testing::AssertionResult SameRgb(const RgbImage& actual, const RgbImage& expected) {
    if (actual.width != expected.width || actual.height != expected.height || actual.rgb.size() != expected.rgb.size())
        return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", expected "
                                             << expected.width << "x" << expected.height;
    size_t differing = 0, first = 0;
    for (size_t i = 0; i < actual.rgb.size(); i += 3) {
        if (actual.rgb[i] == expected.rgb[i] && actual.rgb[i + 1] == expected.rgb[i + 1] &&
            actual.rgb[i + 2] == expected.rgb[i + 2])
            continue;
        if (differing++ == 0) first = i;
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    const size_t pixel = first / 3;
    const int width = actual.width > 0 ? actual.width : 1;
    return ::testing::AssertionFailure() << differing << " pixels differ; the first at (" << pixel % width << ", "
                                         << pixel / width << ") is " << int(actual.rgb[first]) << ","
                                         << int(actual.rgb[first + 1]) << "," << int(actual.rgb[first + 2])
                                         << ", expected " << int(expected.rgb[first]) << ","
                                         << int(expected.rgb[first + 1]) << "," << int(expected.rgb[first + 2]);
}
