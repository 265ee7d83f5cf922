// Frames with text from the installed fonts are compared up to glyph shading:
// what another FreeType or font version changes passes, real faults fail.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "tests/support/golden_frames.h"
#include "tests/support/program_runner.h"
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

RgbImage Golden(const std::string& name) {
    return ReadPicture(fs::path(KORVEN_SOURCE_DIR) / "tests/examples/golden" / name);
}

uint8_t* Pixel(RgbImage& image, int x, int y) { return image.rgb.data() + (y * image.width + x) * 3; }

// The area's pixels changed by change(pixel, x, y).
template <typename Change>
RgbImage Changed(RgbImage image, Area area, Change change) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) change(Pixel(image, x, y), x, y);
    return image;
}

// The area filled row by row with the colour just left of it.
RgbImage Erased(RgbImage page, Area area) {
    return Changed(page, area, [&](uint8_t* p, int, int y) { std::copy_n(Pixel(page, area.left - 1, y), 3, p); });
}

RgbImage Moved(RgbImage page, Area area, int dx, int dy) {
    return Changed(Erased(page, area), {area.left + dx, area.top + dy, area.right + dx, area.bottom + dy},
                   [&](uint8_t* p, int x, int y) { std::copy_n(Pixel(page, x - dx, y - dy), 3, p); });
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

// Glyphs hinted, shaded or placed a pixel off pass; moved elements, wrong colours and missing text fail.
TEST(GlyphTolerance, OnlyGlyphShadingAndOnePixelShiftsPass) {
    const RgbImage page = Golden("page1.png");
    for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}}) {
        const RgbImage shifted = Moved(page, kTextLine, dx, dy);
        EXPECT_FALSE(SameRgb(shifted, page));
        EXPECT_TRUE(SameRgbUpToGlyphShades(shifted, page)) << dx << "," << dy;
    }
    EXPECT_FALSE(SameRgbUpToGlyphShades(Moved(page, kTextLine, 2, 0), page));
    EXPECT_FALSE(SameRgbUpToGlyphShades(Moved(page, kTextLine, 0, 2), page));
    EXPECT_FALSE(SameRgbUpToGlyphShades(Moved(page, kBrickSheet, 2, 0), page));
    EXPECT_FALSE(SameRgbUpToGlyphShades(Erased(page, kTextLine), page));
    // One step of the 16-bit display's blue more over a 16 x 16 square of the background.
    const RgbImage bluer = Changed(page, {400, 400, 416, 416}, [](uint8_t* p, int, int) { p[2] += 8; });
    EXPECT_FALSE(SameRgbUpToGlyphShades(bluer, page));
    // TrueType's older hinting engine shades the glyphs differently.
    const RgbImage hinted = ShowcasePage4("truetype:interpreter-version=35");
    const RgbImage golden = Golden("page4.png");
    EXPECT_FALSE(SameRgb(hinted, golden));
    EXPECT_TRUE(SameRgbUpToGlyphShades(hinted, golden));
}
