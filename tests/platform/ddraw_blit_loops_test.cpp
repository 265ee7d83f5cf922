// The blitter's pixel loops on plain memory: the vector and scalar keyed
// copies agree, fills and stretches write exactly their area.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/ddraw/blit_loops.h"

namespace {

constexpr int PITCH = 256;  // bytes; room for 48 pixels of 4 bytes plus guards
constexpr int ROWS = 6;

std::vector<uint8_t> RandomBytes(size_t count, std::mt19937& random) {
    std::vector<uint8_t> bytes(count);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

// Source pixels that are the key (in its colour bits) about one time in three.
std::vector<uint8_t> KeyedSource(int bytesPerPixel, ColorKey key, std::mt19937& random) {
    std::vector<uint8_t> bytes = RandomBytes(PITCH * ROWS, random);
    for (size_t at = 0; at + bytesPerPixel <= bytes.size(); at += bytesPerPixel) {
        if (random() % 3) continue;
        uint32_t pixel = 0;
        std::memcpy(&pixel, &bytes[at], bytesPerPixel);
        pixel = (pixel & ~key.mask) | key.value;  // bits outside the mask keep random values
        std::memcpy(&bytes[at], &pixel, bytesPerPixel);
    }
    return bytes;
}

TEST(KeyedCopy, VectorAndScalarPathsGiveTheSamePixels) {
#ifndef __SSE2__
    GTEST_SKIP() << "this build has no SSE2 path";
#else
    std::mt19937 random(1234);
    const struct {
        int bytesPerPixel;
        ColorKey key;
    } formats[] = {{1, {0x5A, 0xFF}}, {2, {0xF81F, 0xFFFF}}, {2, {0x7C1F, 0x7FFF}}, {3, {0x00FF00, 0xFFFFFF}},
                   {4, {0xFF00FF, 0xFFFFFF}}};
    for (const auto& f : formats) {
        for (int width : {1, 3, 7, 8, 9, 15, 16, 17, 30, 31, 33, 47}) {
            for (int x = 0; x < 4; ++x) {
                const std::vector<uint8_t> src = KeyedSource(f.bytesPerPixel, f.key, random);
                std::vector<uint8_t> scalar = RandomBytes(PITCH * ROWS, random), vector = scalar;
                const AreaSize size{width, ROWS - 1, f.bytesPerPixel};
                const ConstPixelArea from{src.data() + 3 * f.bytesPerPixel, PITCH};
                CopyAreaKeyedScalar({scalar.data() + x * f.bytesPerPixel, PITCH}, from, size, f.key);
                CopyAreaKeyedSse2({vector.data() + x * f.bytesPerPixel, PITCH}, from, size, f.key);
                ASSERT_EQ(scalar, vector) << f.bytesPerPixel << " bytes per pixel, width " << width << ", x " << x;
            }
        }
    }
#endif
}

TEST(KeyedCopy, SkipsKeyPixelsAndCopiesTheRest) {
    // 5-5-5 pixels: the unused top bit does not take part in the comparison.
    const uint16_t src[4] = {0x7C1F, 0xFC1F, 0x1234, 0x7C1E};
    uint16_t dst[4] = {1, 2, 3, 4};
    CopyAreaKeyed({reinterpret_cast<uint8_t*>(dst), 8}, {reinterpret_cast<const uint8_t*>(src), 8}, {4, 1, 2},
                  {0x7C1F, 0x7FFF});
    EXPECT_EQ(std::vector<uint16_t>(dst, dst + 4), (std::vector<uint16_t>{1, 2, 0x1234, 0x7C1E}));
}

TEST(Fill, WritesTheValueInsideTheAreaOnly) {
    for (int bytesPerPixel = 1; bytesPerPixel <= 4; ++bytesPerPixel) {
        for (uint32_t value : {0u, 0x00ABCDEFu, 0xFFFFFFFFu}) {
            for (int width : {1, 5, 8, 19, 40}) {
                std::vector<uint8_t> memory(PITCH * ROWS, 0x11);
                FillArea({memory.data() + PITCH + 2 * bytesPerPixel, PITCH}, {width, 3, bytesPerPixel}, value);
                for (int y = 0; y < ROWS; ++y) {
                    for (int x = 0; x < PITCH / bytesPerPixel; ++x) {
                        const bool inside = y >= 1 && y < 4 && x >= 2 && x < 2 + width;
                        uint32_t pixel = 0;
                        std::memcpy(&pixel, &memory[y * PITCH + x * bytesPerPixel], bytesPerPixel);
                        const uint32_t mask = bytesPerPixel == 4 ? ~0u : (1u << (8 * bytesPerPixel)) - 1;
                        const uint32_t expected = inside ? value & mask : 0x11111111u & mask;
                        ASSERT_EQ(pixel, expected) << bytesPerPixel << " bytes, width " << width << " at " << x
                                                   << "," << y;
                    }
                }
            }
        }
    }
}

TEST(Fill, LongRowsKeepThePixelPhaseFromAnyStart) {
    for (int bytesPerPixel : {2, 4}) {
        for (int x = 0; x < 4; ++x) {
            const int width = 3001;
            std::vector<uint8_t> memory((width + 8) * bytesPerPixel, 0x11);
            FillArea({memory.data() + x * bytesPerPixel, width * bytesPerPixel}, {width, 1, bytesPerPixel},
                     0x89ABCDEF);
            for (int i = 0; i < width + 8; ++i) {
                uint32_t pixel = 0;
                std::memcpy(&pixel, &memory[i * bytesPerPixel], bytesPerPixel);
                const bool inside = i >= x && i < x + width;
                const uint32_t expected = bytesPerPixel == 2 ? (inside ? 0xCDEFu : 0x1111u)
                                                             : (inside ? 0x89ABCDEFu : 0x11111111u);
                ASSERT_EQ(pixel, expected) << bytesPerPixel << " bytes, start " << x << ", pixel " << i;
            }
        }
    }
}

// One row through the stretcher, returned as the sampled source indices.
std::vector<uint8_t> StretchRow(int sourceLength, int targetLength, int firstTarget, int count) {
    std::vector<uint8_t> source(sourceLength), target(count, 0xEE);
    for (int i = 0; i < sourceLength; ++i) source[i] = static_cast<uint8_t>(i);
    StretchArea({target.data(), count}, {source.data(), sourceLength}, {count, 1, 1},
                {sourceLength, targetLength, firstTarget}, {1, 1, 0}, nullptr);
    return target;
}

TEST(Stretch, SamplesTheSourcePixelUnderEachTargetCentre) {
    EXPECT_EQ(StretchRow(4, 8, 0, 8), (std::vector<uint8_t>{0, 0, 1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(StretchRow(8, 4, 0, 4), (std::vector<uint8_t>{1, 3, 5, 7}));
    EXPECT_EQ(StretchRow(3, 7, 0, 7), (std::vector<uint8_t>{0, 0, 1, 1, 1, 2, 2}));
    EXPECT_EQ(StretchRow(5, 5, 0, 5), (std::vector<uint8_t>{0, 1, 2, 3, 4}));
}

TEST(Stretch, ClippedStartContinuesTheUnclippedMapping) {
    for (int first : {1, 5, 13}) {
        const std::vector<uint8_t> whole = StretchRow(7, 29, 0, 29);
        const std::vector<uint8_t> clipped = StretchRow(7, 29, first, 29 - first);
        EXPECT_TRUE(std::equal(clipped.begin(), clipped.end(), whole.begin() + first)) << "first " << first;
    }
}

TEST(Stretch, KeyedStretchLeavesKeyPixels) {
    const uint16_t src[2] = {0x001F, 0x07E0};
    uint16_t dst[4] = {9, 9, 9, 9};
    const ColorKey key{0x001F, 0xFFFF};
    StretchArea({reinterpret_cast<uint8_t*>(dst), 8}, {reinterpret_cast<const uint8_t*>(src), 4}, {4, 1, 2},
                {2, 4, 0}, {1, 1, 0}, &key);
    EXPECT_EQ(std::vector<uint16_t>(dst, dst + 4), (std::vector<uint16_t>{9, 9, 0x07E0, 0x07E0}));
}

}  // namespace
