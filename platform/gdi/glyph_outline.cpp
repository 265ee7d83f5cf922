// GetGlyphOutlineA for 65-level grey bitmaps: the glyph's coverage in 0..64,
// rows padded to 4 bytes, top row first or, under a vertical flip, bottom
// row first. Other formats and transformations are not offered.
#include <cstring>

#include "platform/gdi/fonts.h"

namespace {

bool IsFixed(const FIXED& f, short value) { return f.fract == 0 && f.value == value; }

// 1 for the identity, -1 for the vertical flip (1, 0; 0, -1), 0 otherwise.
int RowDirection(const MAT2& m) {
    if (!IsFixed(m.eM11, 1) || !IsFixed(m.eM12, 0) || !IsFixed(m.eM21, 0)) return 0;
    if (IsFixed(m.eM22, 1)) return 1;
    return IsFixed(m.eM22, -1) ? -1 : 0;
}

}  // namespace

DWORD GetGlyphOutlineA(HDC dc, UINT character, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize,
                       void* buffer, const MAT2* matrix) {
    if (!IsLiveDC(dc) || format != GGO_GRAY8_BITMAP || !metrics || !matrix) return GDI_ERROR;
    const int direction = RowDirection(*matrix);
    FontInstance* font = ContextFont(dc);
    if (direction == 0 || !font) return GDI_ERROR;

    const GlyphImage& glyph = font->Glyph(character & 0xFFFF, GlyphStyle::Gray65);
    // A glyph without ink reports a 1 x 1 box and needs no bits.
    const bool empty = glyph.width == 0 || glyph.height == 0;
    metrics->gmBlackBoxX = empty ? 1 : glyph.width;
    metrics->gmBlackBoxY = empty ? 1 : glyph.height;
    metrics->gmptGlyphOrigin = POINT{glyph.left, glyph.top};
    metrics->gmCellIncX = static_cast<short>(glyph.advance);
    metrics->gmCellIncY = 0;
    const DWORD pitch = (static_cast<DWORD>(glyph.width) + 3) & ~3u;
    const DWORD size = empty ? 0 : pitch * glyph.height;
    if (!buffer || bufferSize == 0) return size;
    if (bufferSize < size) return GDI_ERROR;

    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, size);
    for (int y = 0; y < (empty ? 0 : glyph.height); ++y) {
        const int row = direction > 0 ? y : glyph.height - 1 - y;
        std::memcpy(out + static_cast<size_t>(row) * pitch, glyph.coverage.data() + static_cast<size_t>(y) * glyph.width,
                    glyph.width);
    }
    return size;
}
