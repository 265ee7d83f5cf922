// Helpers for loader tests: a slot's pixels read back, the display value of a
// colour, temporary files, and the debug lines a call writes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
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

// Files a test writes in its temporary folder, removed when it ends.
class TempFiles {
public:
    ~TempFiles() {
        for (const std::string& path : paths_) std::remove(path.c_str());
    }
    // A path that is removed at the end; with bytes, the file holding them.
    std::string Path(const std::string& name) { return paths_.emplace_back(TempPath(name)); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes);

private:
    std::vector<std::string> paths_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline std::string TempFiles::Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = Path(name);
    WriteBytes(path, bytes);
    return path;
}

// The debug output (as UTF-8) that running f writes.
template <typename F>
std::string DebugLinesOf(F f) {
    ::testing::internal::CaptureStderr();
    f();
    return ::testing::internal::GetCapturedStderr();
}
