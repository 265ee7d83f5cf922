// One font face at one cell size, width and weight, rasterised through
// FreeType. Glyphs are kept once rasterised, so text drawn again costs no
// rasterisation; a counter of rasterisations lets tests and benchmarks see it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// A rasterised glyph: its black box, where the box sits against the pen
// position, and coverage (top row first, width bytes per row).
struct GlyphImage {
    int width = 0;
    int height = 0;
    int left = 0;     // box's left edge right of the pen
    int top = 0;      // box's top row above the baseline
    int advance = 0;  // pen movement
    std::vector<uint8_t> coverage;
};

// Mono: coverage 0 or 1, as drawn text uses; Gray65: 0..64 levels.
enum class GlyphStyle { Mono, Gray65 };

struct FontCellMetrics {
    int height = 0;  // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int weight = 0;
};

// What a sized font is made from; equal keys share one instance.
struct FontKey {
    std::string file;
    int faceIndex = 0;
    int height = 0;
    int width = 0;
    bool bold = false;
    bool operator==(const FontKey&) const = default;
};

class FontInstance {
public:
    const FontCellMetrics& Metrics() const { return metrics_; }
    // The glyph of a code page 932 character (byte or lead * 256 + trail).
    // The reference holds until the next call.
    const GlyphImage& Glyph(unsigned code, GlyphStyle style);

private:
    friend FontInstance* GetFontInstance(const FontKey& key);
    GlyphImage Rasterise(unsigned code, GlyphStyle style) const;

    FontKey key_;
    void* face_ = nullptr;  // the shared FT_Face of the file
    long xSize_ = 0;        // character size in 26.6 pixels
    long ySize_ = 0;
    FontCellMetrics metrics_;
    std::unordered_map<uint32_t, GlyphImage> glyphs_;
};

// The instance for a key, made on first use and kept for the program's
// life; null when the file cannot be opened as a scalable face.
FontInstance* GetFontInstance(const FontKey& key);

// Glyphs rasterised since the program started.
uint64_t GetGlyphRasterCount();

// The Unicode character of a code page 932 character; 0 when it has none.
char32_t ShiftJisCodeToUnicode(unsigned code);
