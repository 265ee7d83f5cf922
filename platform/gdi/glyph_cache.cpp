// Sized faces and their glyphs through FreeType. Cell metrics follow the
// face's Windows ascent and descent, so a cell height is ascent + descent;
// a cell width scales the face horizontally against its single-byte cell.
#include "platform/gdi/glyph_cache.h"

#include <ft2build.h>
#include FT_ADVANCES_H
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr int DEFAULT_CELL_HEIGHT = 16;
// A font that has seen this many different characters starts its cache anew.
constexpr size_t MAX_CACHED_GLYPHS = 8192;

uint64_t gRasterCount = 0;

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

// Faces stay open for the program's life; instances of one file share one.
FT_Face OpenFace(const std::string& file, int index) {
    static auto& faces = *new std::map<std::pair<std::string, int>, FT_Face>;
    const auto key = std::make_pair(file, index);
    if (auto found = faces.find(key); found != faces.end()) return found->second;
    FT_Face face = nullptr;
    if (!Library() || FT_New_Face(Library(), file.c_str(), index, &face) != 0) face = nullptr;
    if (face && !FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        face = nullptr;
    }
    faces[key] = face;
    return face;
}

// The width of a single-byte cell in font units: the advance of 'x', which
// in a fixed-cell face is every single-byte character's.
double SingleByteCellUnits(FT_Face face, const TT_OS2* os2) {
    FT_Fixed advance = 0;
    const FT_UInt x = FT_Get_Char_Index(face, 'x');
    if (x && FT_Get_Advance(face, x, FT_LOAD_NO_SCALE, &advance) == 0 && advance > 0)
        return static_cast<double>(advance);
    if (os2 && os2->xAvgCharWidth > 0) return os2->xAvgCharWidth;
    return face->units_per_EM / 2.0;
}

}  // namespace

FontInstance* GetFontInstance(const FontKey& key) {
    static auto& instances = *new std::vector<std::unique_ptr<FontInstance>>;
    for (const auto& instance : instances)
        if (instance->key_ == key) return instance.get();

    FT_Face face = OpenFace(key.file, key.faceIndex);
    if (!face) return nullptr;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double upem = face->units_per_EM;
    const bool winMetrics = os2 && os2->usWinAscent + os2->usWinDescent > 0;
    const double ascentUnits = winMetrics ? os2->usWinAscent : face->ascender;
    const double descentUnits = winMetrics ? os2->usWinDescent : -face->descender;
    const double cellUnits = ascentUnits + descentUnits > 0 ? ascentUnits + descentUnits : upem;

    // A positive height is the cell, a negative one the em.
    const int requested = key.height == 0 ? DEFAULT_CELL_HEIGHT : key.height;
    const double scale = requested > 0 ? requested / cellUnits : -requested / upem;
    const double emPixels = upem * scale;
    // Without a width the cell is the face's own, rounded to whole pixels so
    // that double-byte cells stay exactly two single-byte ones wide.
    const double naturalCell = SingleByteCellUnits(face, os2) * scale;
    const int cellWidth = key.width > 0 ? key.width : std::max(1, static_cast<int>(std::lround(naturalCell)));
    const double xEmPixels = emPixels * cellWidth / naturalCell;

    auto instance = std::make_unique<FontInstance>();
    instance->key_ = key;
    instance->face_ = face;
    instance->xSize_ = std::lround(xEmPixels * 64);
    instance->ySize_ = std::lround(emPixels * 64);
    FontCellMetrics& m = instance->metrics_;
    m.height = requested > 0 ? requested : static_cast<int>(std::lround(cellUnits * scale));
    m.ascent = static_cast<int>(std::lround(ascentUnits * scale));
    m.descent = m.height - m.ascent;
    m.internalLeading = m.height - static_cast<int>(std::lround(emPixels));
    m.aveCharWidth = cellWidth;
    m.maxCharWidth = static_cast<int>(std::lround(face->max_advance_width * xEmPixels / upem));
    m.weight = key.bold ? 700 : 400;
    instances.push_back(std::move(instance));
    return instances.back().get();
}

const GlyphImage& FontInstance::Glyph(unsigned code, GlyphStyle style) {
    const uint32_t key = (code & 0xFFFF) | (style == GlyphStyle::Gray65 ? 0x10000u : 0u);
    if (auto found = glyphs_.find(key); found != glyphs_.end()) return found->second;
    if (glyphs_.size() >= MAX_CACHED_GLYPHS) glyphs_.clear();
    return glyphs_.emplace(key, Rasterise(code, style)).first->second;
}

GlyphImage FontInstance::Rasterise(unsigned code, GlyphStyle style) const {
    ++gRasterCount;
    GlyphImage glyph;
    auto* face = static_cast<FT_Face>(face_);
    const bool mono = style == GlyphStyle::Mono;
    const char32_t character = ShiftJisCodeToUnicode(code);
    const FT_UInt index = character ? FT_Get_Char_Index(face, character) : 0;
    if (FT_Set_Char_Size(face, xSize_, ySize_, 72, 72) != 0 ||
        FT_Load_Glyph(face, index, mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    // The unhinted advance, so that both styles and every size keep the cells
    // the face was designed with.
    glyph.advance = static_cast<int>((slot->linearHoriAdvance + 0x8000) >> 16);
    if (key_.bold) {
        const FT_Pos before = slot->advance.x;
        FT_GlyphSlot_Embolden(slot);
        glyph.advance += static_cast<int>((slot->advance.x - before + 32) >> 6);
    }
    if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return glyph;

    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
        const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        uint8_t* out = glyph.coverage.data() + static_cast<size_t>(y) * glyph.width;
        for (int x = 0; x < glyph.width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
            else if (mono)
                out[x] = row[x] >= 128;
            else
                out[x] = static_cast<uint8_t>((row[x] * 64 + 127) / 255);
        }
    }
    return glyph;
}

uint64_t GetGlyphRasterCount() { return gRasterCount; }

char32_t ShiftJisCodeToUnicode(unsigned code) {
    static iconv_t converter = iconv_open("UTF-32LE", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return code < 0x80 ? code : 0;
    char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code)};
    char* in = code > 0xFF ? bytes : bytes + 1;
    size_t inLeft = code > 0xFF ? 2 : 1;
    char32_t result = 0;
    char* out = reinterpret_cast<char*>(&result);
    size_t outLeft = sizeof result;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || outLeft != 0) return 0;
    return result;
}
