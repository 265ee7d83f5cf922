// Font sheets for the editor's bitmap text: the printable ASCII characters
// rendered with FreeType into fixed cells, 16 a row from the space, each glyph
// filled with a vertical gradient and ringed by an edge colour.
#pragma once

#include <memory>
#include <string>

#include "tools/editor_bitmaps/picture.h"

constexpr int GLYPHS_PER_ROW = 16;
constexpr int GLYPH_ROWS = 6;  // characters 32..127

struct GlyphLook {
    Rgb fillTop;
    Rgb fillBottom;
    Rgb edge;        // the ring around each glyph; anti-aliasing blends into it
    int edgeWidth;   // ring thickness in pixels
};

class FontFace {
public:
    // Opens the font file; check ok() before use.
    explicit FontFace(const std::string& path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;
    bool ok() const;

    // A sheet of cellWidth x cellHeight cells. Only the top-left
    // (cellWidth - 1) x (cellHeight - 1) of a cell holds ink, the rest and all
    // background is KEY_COLOR. The glyph size is the largest at which every
    // character with its ring fits that area; all glyphs share one baseline.
    Picture RenderSheet(int cellWidth, int cellHeight, const GlyphLook& look) const;

private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};
