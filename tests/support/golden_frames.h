// Captured frames compared exactly with committed golden images. With
// KORVEN_UPDATE_GOLDENS=1 in the environment the captures replace the goldens
// (look at the diff before committing); on a mismatch the actual picture is
// written beside the test's output for inspection.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/win/headless/png_image.h"

inline void ExpectFrameMatchesGolden(const std::filesystem::path& captured, const std::filesystem::path& golden) {
    namespace fs = std::filesystem;
    const char* update = std::getenv("KORVEN_UPDATE_GOLDENS");
    if (update && std::string(update) == "1") {
        fs::create_directories(golden.parent_path());
        fs::copy_file(captured, golden, fs::copy_options::overwrite_existing);
        return;
    }
    RgbImage actual, expected;
    std::string error;
    ASSERT_TRUE(ReadPng(captured.string(), &actual, &error)) << captured << ": " << error;
    ASSERT_TRUE(ReadPng(golden.string(), &expected, &error))
        << golden << ": " << error << " (record it with KORVEN_UPDATE_GOLDENS=1)";
    if (actual.width == expected.width && actual.height == expected.height && actual.rgb == expected.rgb) return;
    const fs::path kept = fs::current_path() / (golden.stem().string() + ".actual.png");
    fs::copy_file(captured, kept, fs::copy_options::overwrite_existing);
    size_t first = 0;
    while (first < actual.rgb.size() && first < expected.rgb.size() && actual.rgb[first] == expected.rgb[first]) ++first;
    ADD_FAILURE() << "frame differs from " << golden << " (" << actual.width << "x" << actual.height << " vs "
                  << expected.width << "x" << expected.height << "); first difference at pixel " << first / 3
                  << "; actual picture kept as " << kept;
}
