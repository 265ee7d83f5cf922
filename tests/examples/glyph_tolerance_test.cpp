// Frames with text from the installed fonts are compared up to glyph shading:
// what another FreeType or font version changes passes, real faults fail.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/win/headless/png_image.h"
#include "tests/support/program_runner.h"
#include "tests/support/rgb_compare.h"
#include "tests/support/scoped_environment.h"

namespace fs = std::filesystem;

namespace {

struct Area {
    int left, top, right, bottom;
};
// "the brick sheet:" on the first showcase page, on a plain background, and
// the brick sheet below it.
constexpr Area kTextLine{16, 238, 146, 256};
constexpr Area kBrickSheet{14, 262, 318, 386};

RgbImage ReadPicture(const fs::path& path) {
    RgbImage image;
    std::string error;
    EXPECT_TRUE(ReadPng(path.string(), &image, &error)) << error;
    return image;
}

RgbImage Golden(const std::string& name) {
    return ReadPicture(fs::path(KORVEN_SOURCE_DIR) / "tests/examples/golden" / name);
}

uint8_t* Pixel(RgbImage& image, int x, int y) { return image.rgb.data() + (y * image.width + x) * 3; }

// The area's pixels moved by (dx, dy); what they leave is the colour just
// left of the area in the same row.
RgbImage Moved(RgbImage image, Area area, int dx, int dy) {
    const RgbImage before = image;
    auto source = [&](int x, int y) { return before.rgb.data() + (y * before.width + x) * 3; };
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) std::copy_n(source(area.left - 1, y), 3, Pixel(image, x, y));
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) std::copy_n(source(x, y), 3, Pixel(image, x + dx, y + dy));
    return image;
}

// The area's pixels changed by change(red, green, blue).
template <typename Change>
RgbImage Recoloured(RgbImage image, Area area, Change change) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            uint8_t* p = Pixel(image, x, y);
            change(p[0], p[1], p[2]);
        }
    return image;
}

// The showcase's fourth page (text drawn into an image slot with 65 shades,
// then rotated) captured with the given FreeType properties.
RgbImage ShowcasePage4(const std::string& freetypeProperties) {
    const fs::path dir = fs::temp_directory_path() / ("glyphs-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const ScopedEnvironment properties("FREETYPE_PROPERTIES", freetypeProperties.c_str());
    const RunResult r = RunProgram("showcase", "--capture-dir=.",
                                   "38 press right\n39 release right\n78 press right\n79 release right\n"
                                   "118 press right\n119 release right\n132 capture page4.png\n133 press esc\n",
                                   dir);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    RgbImage page = ReadPicture(dir / "page4.png");
    fs::remove_all(dir);
    return page;
}

}  // namespace

TEST(GlyphTolerance, GlyphsHintedShadedOrPlacedAPixelOffPass) {
    const RgbImage page = Golden("page1.png");
    for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}}) {
        const RgbImage shifted = Moved(page, kTextLine, dx, dy);
        EXPECT_FALSE(SameRgb(shifted, page));
        EXPECT_TRUE(SameRgbUpToGlyphShades(shifted, page)) << dx << "," << dy;
    }
    // TrueType's older hinting engine shades the glyphs differently.
    const RgbImage hinted = ShowcasePage4("truetype:interpreter-version=35");
    const RgbImage golden = Golden("page4.png");
    EXPECT_FALSE(SameRgb(hinted, golden));
    EXPECT_TRUE(SameRgbUpToGlyphShades(hinted, golden));
}

TEST(GlyphTolerance, MovedElementsWrongColoursAndMissingTextFail) {
    const RgbImage page = Golden("page1.png");
    EXPECT_FALSE(SameRgbUpToGlyphShades(Moved(page, kTextLine, 2, 0), page));
    EXPECT_FALSE(SameRgbUpToGlyphShades(Moved(page, kTextLine, 0, 2), page));
    EXPECT_FALSE(SameRgbUpToGlyphShades(Moved(page, kBrickSheet, 2, 0), page));
    const auto background = [](uint8_t& r, uint8_t& g, uint8_t& b) { r = 24, g = 28, b = 57; };
    EXPECT_FALSE(SameRgbUpToGlyphShades(Recoloured(page, kTextLine, background), page));
    // One step of the 16-bit display's blue more over a 16 x 16 square of the background.
    const auto bluer = [](uint8_t&, uint8_t&, uint8_t& b) { b += 8; };
    EXPECT_FALSE(SameRgbUpToGlyphShades(Recoloured(page, {400, 400, 416, 416}, bluer), page));
}
