// Captured frames compared with committed golden images: exactly, or for
// frames with text from the installed fonts up to glyph shading (see
// SameRgbUpToGlyphShades). With KORVEN_UPDATE_GOLDENS=1 in the environment the
// captures replace the goldens (look at the diff before committing); on a
// mismatch the actual and the expected picture are kept in the working folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/win/headless/png_image.h"
#include "tests/support/rgb_compare.h"

// A PNG picture, empty (with a failure) when it cannot be read.
inline RgbImage ReadPicture(const std::filesystem::path& path) {
    RgbImage image;
    std::string error;
    EXPECT_TRUE(ReadPng(path.string(), &image, &error)) << path << ": " << error;
    return image;
}

// Whether a frame shows text that the installed fonts rasterise.
enum class FrameText { None, InstalledFonts };

inline void ExpectFrameMatchesGolden(const std::filesystem::path& captured, const std::filesystem::path& golden,
                                     FrameText text = FrameText::None) {
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
    const ::testing::AssertionResult same =
        text == FrameText::InstalledFonts ? SameRgbUpToGlyphShades(actual, expected) : SameRgb(actual, expected);
    if (same) return;
    const fs::path kept = fs::current_path() / (golden.stem().string() + ".actual.png");
    const fs::path wanted = fs::current_path() / (golden.stem().string() + ".expected.png");
    fs::copy_file(captured, kept, fs::copy_options::overwrite_existing);
    fs::copy_file(golden, wanted, fs::copy_options::overwrite_existing);
    ADD_FAILURE() << "frame differs from " << golden << ": " << same.message() << "; pictures kept as " << kept
                  << " and " << wanted;
}
