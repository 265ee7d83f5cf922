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
    const struct { int bytesPerPixel; ColorKey key; } formats[] = {
        {1, {0x5A, 0xFF}}, {2, {0xF81F, 0xFFFF}}, {2, {0x7C1F, 0x7FFF}}, {3, {0x00FF00, 0xFFFFFF}},
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

// Every start in a word of pixels, and rows long enough for the vector path.
TEST(Fill, WritesTheValueInsideTheAreaOnlyFromAnyStart) {
    for (int bytesPerPixel = 1; bytesPerPixel <= 4; ++bytesPerPixel)
        for (uint32_t value : {0u, 0x89ABCDEFu, 0xFFFFFFFFu})
            for (int width : {1, 5, 8, 19, 40, 3001})
                for (int start = 0; start < 4; ++start) {
                    const int pitch = (width + 6) * bytesPerPixel;
                    std::vector<uint8_t> memory(pitch * ROWS, 0x11);
                    FillArea({memory.data() + pitch + start * bytesPerPixel, pitch}, {width, 3, bytesPerPixel}, value);
                    const uint32_t mask = bytesPerPixel == 4 ? ~0u : (1u << (8 * bytesPerPixel)) - 1;
                    for (int y = 0; y < ROWS; ++y)
                        for (int x = 0; x < pitch / bytesPerPixel; ++x) {
                            const bool inside = y >= 1 && y < 4 && x >= start && x < start + width;
                            uint32_t pixel = 0;
                            std::memcpy(&pixel, &memory[y * pitch + x * bytesPerPixel], bytesPerPixel);
                            ASSERT_EQ(pixel, (inside ? value : 0x11111111u) & mask)
                                << bytesPerPixel << " bytes, width " << width << ", start " << start << " at " << x
                                << "," << y;
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

// A clipped start continues the unclipped mapping.
TEST(Stretch, SamplesTheSourcePixelUnderEachTargetCentreLeavingKeyPixelsAsCopiesDo) {
    EXPECT_EQ(StretchRow(4, 8, 0, 8), (std::vector<uint8_t>{0, 0, 1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(StretchRow(8, 4, 0, 4), (std::vector<uint8_t>{1, 3, 5, 7}));
    EXPECT_EQ(StretchRow(3, 7, 0, 7), (std::vector<uint8_t>{0, 0, 1, 1, 1, 2, 2}));
    EXPECT_EQ(StretchRow(5, 5, 0, 5), (std::vector<uint8_t>{0, 1, 2, 3, 4}));
    const std::vector<uint8_t> whole = StretchRow(7, 29, 0, 29);
    for (int first : {1, 5, 13})
        EXPECT_EQ(StretchRow(7, 29, first, 29 - first), std::vector<uint8_t>(whole.begin() + first, whole.end()));
    // Key pixels are left out of copies and stretches; of 5-5-5 pixels the unused
    // top bit does not take part in the comparison.
    const uint16_t src[4] = {0x7C1F, 0xFC1F, 0x1234, 0x7C1E};
    uint16_t dst[4] = {1, 2, 3, 4};
    CopyAreaKeyed({reinterpret_cast<uint8_t*>(dst), 8}, {reinterpret_cast<const uint8_t*>(src), 8}, {4, 1, 2},
                  {0x7C1F, 0x7FFF});
    EXPECT_EQ(std::vector<uint16_t>(dst, dst + 4), (std::vector<uint16_t>{1, 2, 0x1234, 0x7C1E}));
    const uint16_t two[2] = {0x001F, 0x07E0};
    const ColorKey key{0x001F, 0xFFFF};
    StretchArea({reinterpret_cast<uint8_t*>(dst), 8}, {reinterpret_cast<const uint8_t*>(two), 4}, {4, 1, 2},
                {2, 4, 0}, {1, 1, 0}, &key);
    EXPECT_EQ(std::vector<uint16_t>(dst, dst + 4), (std::vector<uint16_t>{1, 2, 0x07E0, 0x07E0}));
}

}  // namespace
