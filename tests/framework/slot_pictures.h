// Helpers for loader tests: a slot's pixels read back, the display value of a
// colour, temporary files, and the debug lines a call writes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/display/display.h"
#include "framework/image/image.h"
#include "platform/gdi/gdi.h"

// The slot's pixels, top row first; empty when the slot cannot be locked.
inline std::vector<uint16_t> SlotPixels(int slot) {
    uint16_t* pixels = nullptr;
    int pitch = 0;
    if (LockImage(slot, &pixels, &pitch) != 1) return {};
    std::vector<uint16_t> out;
    for (int y = 0; y < gImageSlots[slot].height; ++y)
        for (int x = 0; x < gImageSlots[slot].width; ++x) out.push_back(pixels[y * pitch + x]);
    UnlockImage(slot, pixels);
    return out;
}

// The display's pixel value for a colour 0x00RRGGBB.
inline uint16_t DisplayValue(uint32_t rgb) {
    return static_cast<uint16_t>(
        MatchColor(gDisplay.backBuffer, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF)));
}

// A file name in the test's temporary folder, unique to this process.
inline std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + std::to_string(getpid()) + "-" + name;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The debug output (as UTF-8) that running f writes.
template <typename F>
std::string DebugLinesOf(F f) {
    ::testing::internal::CaptureStderr();
    f();
    return ::testing::internal::GetCapturedStderr();
}
