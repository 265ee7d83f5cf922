// Checks the committed editor bitmaps against what the editor's drawing code
// relies on: file format and sizes, colour keys that survive 16-bit colour,
// glyph cells, distinct block tiles, and marker pieces that close a ring.
#include <gtest/gtest.h>

#include <array>
#include <compare>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
    auto operator<=>(const Rgb&) const = default;
};

struct Bitmap {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;  // top-down
    Rgb At(int x, int y) const { return pixels[y * width + x]; }
    bool IsKey(int x, int y) const { return At(x, y) == At(0, 0); }
    // True when any pixel of the rectangle is not the key colour.
    bool HasInk(int x, int y, int w, int h) const { return Cut(x, y, w, h) != std::vector<Rgb>(w * h, At(0, 0)); }
    std::vector<Rgb> Cut(int x, int y, int w, int h) const {
        std::vector<Rgb> out;
        for (int row = y; row < y + h; ++row)
            for (int column = x; column < x + w; ++column) out.push_back(At(column, row));
        return out;
    }
};

uint32_t Le(const std::vector<uint8_t>& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
    return value;
}

// Reads an asset, failing the test unless it is an uncompressed 24-bit
// bottom-up bitmap with a 40-byte info header and consistent sizes.
Bitmap LoadAsset(const std::string& name) {
    std::ifstream file(std::string(KORVEN_SOURCE_DIR) + "/assets/bmp/" + name, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Bitmap bitmap;
    EXPECT_GE(bytes.size(), 54u) << name;
    if (bytes.size() < 54) return bitmap;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 2), "BM") << name;
    EXPECT_EQ(Le(bytes, 2, 4), bytes.size()) << name;
    // Data offset 54, info header 40 bytes, 1 plane, 24 bits, no compression.
    for (const auto& [at, size, value] : {std::tuple{10, 4, 54u}, {14, 4, 40u}, {26, 2, 1u}, {28, 2, 24u}, {30, 4, 0u}})
        EXPECT_EQ(Le(bytes, at, size), value) << name << " at " << at;
    int width = static_cast<int32_t>(Le(bytes, 18, 4));
    int height = static_cast<int32_t>(Le(bytes, 22, 4));
    EXPECT_GT(height, 0) << name << " must be stored bottom-up";
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    EXPECT_EQ(bytes.size(), 54 + stride * height) << name;
    if (width <= 0 || height <= 0 || bytes.size() != 54 + stride * height) return bitmap;
    bitmap.width = width;
    bitmap.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t at = 54 + stride * (height - 1 - y) + 3 * x;
            bitmap.pixels.push_back({bytes[at + 2], bytes[at + 1], bytes[at]});
        }
    return bitmap;
}

// The pixel a 5-6-5 display surface keeps of a colour.
uint16_t To565(Rgb c) { return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3)); }

struct AssetSize {
    const char* name;
    int width, height;
    bool keyed;
};

constexpr AssetSize ASSETS[] = {
    {"Cursor.bmp", 32, 32, true},      {"Ball.bmp", 16, 16, true},     {"Block.bmp", 300, 120, true},
    {"Chaingauge.bmp", 160, 32, false}, {"Block2.bmp", 150, 120, true}, {"Frame.bmp", 420, 430, true},
    {"Block3.bmp", 300, 120, true},    {"Font.bmp", 176, 102, true},   {"Font2.bmp", 176, 102, true},
    {"Font3.bmp", 176, 102, true},     {"Font4.bmp", 176, 102, true},  {"Bigfont.bmp", 384, 192, true},
    {"back01.bmp", 640, 480, false},
};

constexpr const char* FONTS[4] = {"Font.bmp", "Font2.bmp", "Font3.bmp", "Font4.bmp"};

TEST(EditorBitmaps, EachIsAWellFormedBitmapOfItsSizeWhoseKeyOnlyHidesKeyPixels) {
    for (const AssetSize& asset : ASSETS) {
        SCOPED_TRACE(asset.name);
        Bitmap bitmap = LoadAsset(asset.name);
        ASSERT_EQ(bitmap.width, asset.width);
        ASSERT_EQ(bitmap.height, asset.height);
        if (!asset.keyed) continue;
        // At 16 bits the key is compared after reduction: no other colour may
        // reduce to the same pixel, or part of the picture would vanish.
        uint16_t key = To565(bitmap.At(0, 0));
        for (int y = 0; y < bitmap.height; ++y)
            for (int x = 0; x < bitmap.width; ++x)
                if (!bitmap.IsKey(x, y)) {
                    ASSERT_NE(To565(bitmap.At(x, y)), key) << "at " << x << ", " << y;
                }
    }
}

// The other fonts cover every pixel of the label font in another colour, so a redraw hides the label.
TEST(EditorBitmaps, FontCellsHoldEveryPrintableGlyphInsideTheCopiedPartAndCoverTheLabelFont) {
    const Bitmap label = LoadAsset(FONTS[0]);
    for (const char* name : FONTS) {
        SCOPED_TRACE(name);
        Bitmap font = LoadAsset(name);
        ASSERT_EQ(font.width, 176);
        std::set<std::vector<Rgb>> shapes;
        for (int ch = 32; ch < 128; ++ch) {
            int x = 11 * ((ch - 32) % 16), y = 17 * ((ch - 32) / 16);
            // Labels copy 10 x 16 of a cell, highlights draw all 11 x 17: the
            // last column and row must be transparent for the two to agree.
            EXPECT_FALSE(font.HasInk(x + 10, y, 1, 17)) << "character " << ch;
            EXPECT_FALSE(font.HasInk(x, y + 16, 11, 1)) << "character " << ch;
            bool printable = ch > 32 && ch < 127;
            EXPECT_EQ(font.HasInk(x, y, 10, 16), printable) << "character " << ch;
            if (printable) shapes.insert(font.Cut(x, y, 10, 16));
        }
        EXPECT_EQ(shapes.size(), 94u) << "two characters share a glyph";
        if (name == FONTS[0]) continue;
        Rgb labelInk{}, overInk{};
        for (int y = 0; y < label.height; ++y)
            for (int x = 0; x < label.width; ++x) {
                if (label.IsKey(x, y)) continue;
                ASSERT_FALSE(font.IsKey(x, y)) << "label pixel " << x << ", " << y << " shows through";
                labelInk = label.At(x, y);
                overInk = font.At(x, y);
            }
        EXPECT_NE(To565(labelInk), To565(overInk)) << "the look must differ from the labels'";
    }
}

TEST(EditorBitmaps, EveryBlockValueHasItsOwnTileAndTheEmptyTileIsMostlyTransparent) {
    Bitmap sheets[2] = {LoadAsset("Block.bmp"), LoadAsset("Block3.bmp")};
    ASSERT_EQ(sheets[0].width, 300);
    ASSERT_EQ(sheets[1].width, 300);
    std::set<std::vector<Rgb>> tiles;
    for (int value = 1; value <= 200; ++value) {
        if (value == 100) continue;
        const Bitmap& sheet = sheets[value > 100];
        int index = value > 100 ? value - 101 : value;
        int x = 30 * (index / 10), y = 12 * (index % 10);
        EXPECT_TRUE(sheet.HasInk(x, y, 30, 12)) << "value " << value;
        // Opaque through the middle row, so a tile always covers the cell.
        for (int column = 1; column < 29; ++column) EXPECT_FALSE(sheet.IsKey(x + column, y + 6)) << "value " << value;
        tiles.insert(sheet.Cut(x, y, 30, 12));
    }
    EXPECT_EQ(tiles.size(), 199u) << "two block values look the same";
    EXPECT_TRUE(sheets[0].IsKey(15, 6)) << "the empty tile must let the map panel show";
}

// Puts frame `frame`'s eight pieces back around a 30 x 12 cell on a 90 x 36
// picture and reports whether the ring closes: no path of transparent pixels
// leads from the cell to the picture's border.
bool MarkerRingCloses(const Bitmap& sheet, int frame) {
    static constexpr int PIECES[8][3] = {{0, 0, 36},  {1, 0, 24}, {2, 0, 12}, {0, 1, 72},
                                         {2, 1, 48},  {0, 2, 108}, {1, 2, 96}, {2, 2, 84}};
    std::array<std::array<bool, 90>, 36> ink{};
    for (const auto& piece : PIECES)
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 30; ++x) ink[piece[1] * 12 + y][piece[0] * 30 + x] = !sheet.IsKey(30 * frame + x, piece[2] + y);
    std::array<std::array<bool, 90>, 36> seen{};
    std::vector<std::pair<int, int>> todo;
    for (int y = 12; y < 24; ++y)
        for (int x = 30; x < 60; ++x) todo.push_back({x, y});
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 0 || y < 0 || x >= 90 || y >= 36) return false;
        if (seen[y][x] || ink[y][x]) continue;
        seen[y][x] = true;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    return true;
}

TEST(EditorBitmaps, MarkerFramesCloseARingAroundTheCellAndTheEraserFillsItsCell) {
    Bitmap sheet = LoadAsset("Block2.bmp");
    ASSERT_EQ(sheet.width, 150);
    std::set<std::vector<Rgb>> frames;
    for (int frame = 0; frame < 4; ++frame) {
        SCOPED_TRACE(frame);
        EXPECT_TRUE(MarkerRingCloses(sheet, frame));
        EXPECT_FALSE(sheet.HasInk(30 * frame, 0, 30, 12)) << "row 0 of a frame is no piece";
        EXPECT_FALSE(sheet.HasInk(30 * frame, 60, 30, 12)) << "rows 60..72 are the marked cell itself";
        frames.insert(sheet.Cut(30 * frame, 0, 30, 120));
    }
    EXPECT_EQ(frames.size(), 4u) << "the animation frames must differ";
    for (int y = 0; y < 12; ++y)
        for (int x = 120; x < 150; ++x) EXPECT_FALSE(sheet.IsKey(x, y)) << "eraser pixel " << x << ", " << y;
}

TEST(EditorBitmaps, MapFrameHugsTheGridAndBacksItWithAnOpaquePanel) {
    Bitmap frame = LoadAsset("Frame.bmp");
    ASSERT_EQ(frame.width, 420);
    ASSERT_EQ(frame.height, 430);
    // The grid spans x 15..404, y 15..422 of the frame as the editor places it.
    for (int y = 14; y <= 423; ++y)
        for (int x = 14; x <= 405; ++x) ASSERT_FALSE(frame.IsKey(x, y)) << "at " << x << ", " << y;
}

}  // namespace
