// FreeType rendering of the font sheets. Coverage comes from the hinted outline
// at an integer pixel size; each glyph is centred in its ink area, and partly
// covered pixels mix the fill into the edge colour, never into the key colour.
#include "tools/editor_bitmaps/glyph_sheet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <vector>

struct FontFace::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

namespace {

constexpr int FIRST_CHAR = 32;
constexpr int LAST_PRINTABLE = 126;

// One rendered glyph: 8-bit coverage, its box relative to the pen origin.
struct GlyphBitmap {
    int left = 0;  // columns right of the origin
    int top = 0;   // rows above the baseline
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;
};

GlyphBitmap RenderGlyph(FT_Face face, char ch) {
    GlyphBitmap glyph;
    if (FT_Load_Char(face, static_cast<FT_ULong>(ch), FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) != 0) return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    for (int y = 0; y < glyph.rows; ++y)
        for (int x = 0; x < glyph.width; ++x) glyph.coverage.push_back(bitmap.buffer[y * bitmap.pitch + x]);
    return glyph;
}

struct GlyphSet {
    std::vector<GlyphBitmap> glyphs;  // index ch - FIRST_CHAR
    int widest = 0;
    int ascent = 0;   // highest row above the baseline
    int descent = 0;  // lowest row below it
};

// Every printable glyph at `width` x `height` pixels per em.
GlyphSet RenderPrintable(FT_Face face, int width, int height) {
    GlyphSet set;
    FT_Set_Pixel_Sizes(face, width, height);
    for (int ch = FIRST_CHAR; ch <= LAST_PRINTABLE; ++ch) {
        GlyphBitmap glyph = RenderGlyph(face, static_cast<char>(ch));
        if (glyph.width > 0 && glyph.rows > 0) {
            set.widest = std::max(set.widest, glyph.width);
            set.ascent = std::max(set.ascent, glyph.top);
            set.descent = std::max(set.descent, glyph.rows - glyph.top);
        }
        set.glyphs.push_back(std::move(glyph));
    }
    return set;
}

// Marks every pixel within `radius` (a rounded square) of an inked one.
std::vector<bool> Dilate(const std::vector<uint8_t>& coverage, int width, int height, int radius) {
    std::vector<bool> ring(coverage.size(), false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (coverage[y * width + x] < 32) continue;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    bool corner = radius > 1 && std::abs(dx) == radius && std::abs(dy) == radius;
                    int nx = x + dx, ny = y + dy;
                    if (!corner && nx >= 0 && ny >= 0 && nx < width && ny < height) ring[ny * width + nx] = true;
                }
        }
    return ring;
}

// Draws one glyph into its ink area at (cellX, cellY).
void PaintGlyph(Picture& sheet, int cellX, int cellY, int inkWidth, int inkHeight, int baseline,
                const GlyphBitmap& glyph, const GlyphLook& look) {
    if (glyph.coverage.empty()) return;
    // Coverage in ink-area coordinates, the glyph centred horizontally.
    std::vector<uint8_t> area(static_cast<size_t>(inkWidth) * inkHeight, 0);
    int offsetX = (inkWidth - glyph.width) / 2;
    int offsetY = baseline - glyph.top;
    for (int y = 0; y < glyph.rows; ++y)
        for (int x = 0; x < glyph.width; ++x) {
            int ax = offsetX + x, ay = offsetY + y;
            if (ax >= 0 && ay >= 0 && ax < inkWidth && ay < inkHeight)
                area[ay * inkWidth + ax] = glyph.coverage[y * glyph.width + x];
        }
    std::vector<bool> ring = Dilate(area, inkWidth, inkHeight, look.edgeWidth);
    for (int y = 0; y < inkHeight; ++y) {
        Rgb fill = Mix(look.fillTop, look.fillBottom, static_cast<double>(y) / (inkHeight - 1));
        for (int x = 0; x < inkWidth; ++x) {
            uint8_t c = area[y * inkWidth + x];
            if (c > 0 || ring[y * inkWidth + x]) sheet.Set(cellX + x, cellY + y, Mix(look.edge, fill, c / 255.0));
        }
    }
}

}  // namespace

FontFace::FontFace(const std::string& path) : handles_(std::make_unique<Handles>()) {
    if (FT_Init_FreeType(&handles_->library) != 0) {
        handles_->library = nullptr;
        return;
    }
    if (FT_New_Face(handles_->library, path.c_str(), 0, &handles_->face) != 0) handles_->face = nullptr;
}

FontFace::~FontFace() {
    if (handles_->face) FT_Done_Face(handles_->face);
    if (handles_->library) FT_Done_FreeType(handles_->library);
}

bool FontFace::ok() const { return handles_->face != nullptr; }

Picture FontFace::RenderSheet(int cellWidth, int cellHeight, const GlyphLook& look) const {
    const int inkWidth = cellWidth - 1;
    const int inkHeight = cellHeight - 1;
    const int edge = look.edgeWidth;
    // The tallest em height (narrowed by at most a sixth to fit the width) at
    // which all glyphs fit with their ring; only the few glyphs that rise above
    // the capitals may lose the top row of their ring.
    GlyphSet set;
    for (int height = inkHeight; height > 4 && set.glyphs.empty(); --height)
        for (int width = height; width * 6 >= height * 5; --width) {
            GlyphSet candidate = RenderPrintable(handles_->face, width, height);
            if (candidate.widest + 2 * edge <= inkWidth && candidate.ascent + candidate.descent + edge <= inkHeight) {
                set = std::move(candidate);
                break;
            }
        }
    // Spare rows go half above, half below the glyphs.
    int baseline = set.ascent + (inkHeight - edge - set.ascent - set.descent + 1) / 2;

    Picture sheet(cellWidth * GLYPHS_PER_ROW, cellHeight * GLYPH_ROWS, KEY_COLOR);
    for (size_t i = 0; i < set.glyphs.size(); ++i) {
        int column = static_cast<int>(i) % GLYPHS_PER_ROW;
        int row = static_cast<int>(i) / GLYPHS_PER_ROW;
        PaintGlyph(sheet, column * cellWidth, row * cellHeight, inkWidth, inkHeight, baseline, set.glyphs[i], look);
    }
    sheet.ReduceTo565(false);
    return sheet;
}
