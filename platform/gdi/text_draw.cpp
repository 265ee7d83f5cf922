// Text output: TextOutA, DrawTextA and extents. Glyphs come from the font's
// cache, so text drawn again costs no rasterisation; they are written in the
// text colour, over a box of the background colour in OPAQUE mode, inside the
// context's clip region. The mix mode does not apply to text.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/fonts.h"
#include "platform/gdi/pixel_codec.h"

namespace {

// The character starting at pos, as a byte or lead * 256 + trail; pos moves on.
unsigned NextCharacter(const char* text, int length, int* pos) {
    const auto lead = static_cast<uint8_t>(text[*pos]);
    if (*pos + 1 < length && IsShiftJisPair(lead, static_cast<uint8_t>(text[*pos + 1]))) {
        const auto trail = static_cast<uint8_t>(text[*pos + 1]);
        *pos += 2;
        return lead << 8 | trail;
    }
    *pos += 1;
    return lead;
}

int LineWidth(FontInstance& font, const char* text, int length) {
    int width = 0;
    for (int pos = 0; pos < length;) width += font.Glyph(NextCharacter(text, length, &pos), GlyphStyle::Mono).advance;
    return width;
}

RECT Intersect(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// Writes value to the pixels of box (already inside the target) whose mask
// byte is set; a null mask sets them all. The mask has maskPitch bytes a row
// and starts at the box's top-left pixel.
void PaintMasked(const PixelBuffer& target, const RECT& box, const uint8_t* mask, int maskPitch, uint32_t value) {
    const int width = box.right - box.left;
    if (target.format.bitsPerPixel == 16) {
        for (int y = box.top; y < box.bottom; ++y) {
            auto* row = reinterpret_cast<uint16_t*>(target.bits + static_cast<ptrdiff_t>(y) * target.pitch) + box.left;
            if (!mask) {
                std::fill_n(row, width, static_cast<uint16_t>(value));
                continue;
            }
            const uint8_t* m = mask + static_cast<ptrdiff_t>(y - box.top) * maskPitch;
            for (int x = 0; x < width; ++x)
                if (m[x]) row[x] = static_cast<uint16_t>(value);
        }
        return;
    }
    const PixelCodec codec(target);
    for (int y = box.top; y < box.bottom; ++y) {
        const uint8_t* m = mask ? mask + static_cast<ptrdiff_t>(y - box.top) * maskPitch : nullptr;
        for (int x = 0; x < width; ++x)
            if (!m || m[x]) codec.Write(box.left + x, y, value);
    }
}

// Draws one line of text (no line breaks) with its cell's top-left at (x, y),
// only inside bounds.
void DrawTextLine(HDC dc, FontInstance& font, int x, int y, const char* text, int length, const RECT& bounds) {
    const PixelBuffer& target = dc->target;
    const PixelCodec codec(target);
    const FontCellMetrics& metrics = font.Metrics();
    if (dc->bkMode == OPAQUE) {
        const RECT box = Intersect(RECT{x, y, x + LineWidth(font, text, length), y + metrics.height}, bounds);
        if (box.left < box.right && box.top < box.bottom) PaintMasked(target, box, nullptr, 0, codec.FromColor(dc->bkColor));
    }
    const uint32_t ink = codec.FromColor(dc->textColor);
    const int baseline = y + metrics.ascent;
    for (int pos = 0; pos < length;) {
        const GlyphImage& glyph = font.Glyph(NextCharacter(text, length, &pos), GlyphStyle::Mono);
        const int left = x + glyph.left, top = baseline - glyph.top;
        const RECT box = Intersect(RECT{left, top, left + glyph.width, top + glyph.height}, bounds);
        if (box.left < box.right && box.top < box.bottom) {
            const uint8_t* mask = glyph.coverage.data() + static_cast<ptrdiff_t>(box.top - top) * glyph.width +
                                  (box.left - left);
            PaintMasked(target, box, mask, glyph.width, ink);
        }
        x += glyph.advance;
    }
}

}  // namespace

bool IsShiftJisPair(uint8_t lead, uint8_t trail) {
    const bool leadByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    const bool trailByte = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
    return leadByte && trailByte;
}

const char* CharNextExA(WORD codePage, const char* current, DWORD) {
    if (!current || !*current) return current;
    const bool pair = codePage == CP_SHIFTJIS &&
                      IsShiftJisPair(static_cast<uint8_t>(current[0]), static_cast<uint8_t>(current[1]));
    return current + (pair ? 2 : 1);
}

int SetBkMode(HDC dc, int mode) {
    if (!IsLiveDC(dc) || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->bkMode, mode);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (!IsLiveDC(dc)) return CLR_INVALID;
    return std::exchange(dc->bkColor, color & 0xFFFFFF);
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (!IsLiveDC(dc)) return CLR_INVALID;
    return std::exchange(dc->textColor, color & 0xFFFFFF);
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size) {
    if (!IsLiveDC(dc) || !size || length < 0 || (length > 0 && !text)) return FALSE;
    FontInstance* font = ContextFont(dc);
    if (!font) return FALSE;
    size->cx = LineWidth(*font, text, length);
    size->cy = font->Metrics().height;
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) {
    if (!IsLiveDC(dc) || length < 0 || (length > 0 && !text)) return FALSE;
    FontInstance* font = ContextFont(dc);
    if (!font) return FALSE;
    DrawTextLine(dc, *font, x, y, text, length, DrawableRect(*dc));
    return TRUE;
}

int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format) {
    if (!IsLiveDC(dc) || !text || !rect) return 0;
    FontInstance* font = ContextFont(dc);
    if (!font) return 0;
    if (length < 0) length = static_cast<int>(std::strlen(text));
    const RECT bounds = (format & DT_NOCLIP) ? DrawableRect(*dc) : Intersect(DrawableRect(*dc), *rect);
    const int lineHeight = font->Metrics().height;
    int y = rect->top;
    for (int start = 0;;) {
        int end = start;
        while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
        DrawTextLine(dc, *font, rect->left, y, text + start, end - start, bounds);
        y += lineHeight;
        if (end >= length) break;
        start = end + ((text[end] == '\r' && end + 1 < length && text[end + 1] == '\n') ? 2 : 1);
    }
    return y - rect->top;
}
