// Text drawn into an image slot as anti-aliased glyphs: each character's
// 65-level grey bitmap goes onto the slot through an 8-bit colour table that
// runs from the text background colour to the text colour. Every glyph's
// black box is drawn opaque; the slot's context clips, nothing wraps.
#include <memory>
#include <vector>

#include "framework/app/app.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"

namespace {

// The bitmap info block of the glyphs: header and 256 colour entries.
struct GlyphBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};
static_assert(sizeof(GlyphBitmapInfo) == 1064);

// The vertical flip: the glyph rows come bottom row first, as the bottom-up
// DIB transfer wants them.
constexpr MAT2 FLIP{{0, 1}, {0, 0}, {0, 0}, {0, -1}};

}  // namespace

void FillGlyphColorTable(RGBQUAD colors[GLYPH_COLOR_LEVELS], uint32_t textColor, uint32_t backgroundColor) {
    const auto mix = [](uint32_t text, uint32_t background, int shift, int i) {
        const uint32_t t = (text >> shift) & 0xFF, b = (background >> shift) & 0xFF;
        return static_cast<BYTE>((t * 4 * i + b * (256 - 4 * i)) >> 8);
    };
    colors[0] = {static_cast<BYTE>(backgroundColor >> 16), static_cast<BYTE>(backgroundColor >> 8),
                 static_cast<BYTE>(backgroundColor), 0};
    for (int i = 1; i < GLYPH_COLOR_LEVELS; ++i)
        colors[i] = {mix(textColor, backgroundColor, 16, i), mix(textColor, backgroundColor, 8, i),
                     mix(textColor, backgroundColor, 0, i), 0};
}

int DrawTextToImage(int slot, const char* text) {
    const uint16_t number = static_cast<uint16_t>(slot);
    HDC dc = GetImageDC(number);
    if (!dc) return 0;

    auto info = std::make_unique<GlyphBitmapInfo>();
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biPlanes = 1;
    info->header.biBitCount = 8;
    info->header.biCompression = BI_RGB;
    FillGlyphColorTable(info->colors, gApp.textColor, gApp.textBkColor);

    HFONT font = CreateTextFont();
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    // 'X' stands for the last glyph when a line feed comes first.
    GLYPHMETRICS glyph{};
    GetGlyphOutlineA(dc, 'X', GGO_GRAY8_BITMAP, &glyph, 0, nullptr, &FLIP);

    int x = 0, y = 0;
    for (const char* p = text ? text : ""; *p;) {
        if (*p == '\n') {
            x = 0;
            y += static_cast<int>(glyph.gmBlackBoxY) + 1;
            ++p;
            continue;
        }
        const char* next = CharNextExA(CP_SHIFTJIS, p, 0);
        const auto lead = static_cast<uint8_t>(p[0]);
        const UINT code = next - p == 2 ? lead << 8 | static_cast<uint8_t>(p[1]) : lead;
        p = next;
        const DWORD size = GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &glyph, 0, nullptr, &FLIP);
        if (size == GDI_ERROR) continue;
        // A glyph without bits (a space) only moves the pen.
        const DWORD pitch = (glyph.gmBlackBoxX + 3) & ~3u;
        if (size > 0 && pitch > 0) {
            std::vector<uint8_t> bits(size);
            GetGlyphOutlineA(dc, code, GGO_GRAY8_BITMAP, &glyph, size, bits.data(), &FLIP);
            info->header.biWidth = static_cast<LONG>(pitch);
            info->header.biHeight = static_cast<LONG>(glyph.gmBlackBoxY);
            SetDIBitsToDevice(dc, x + glyph.gmptGlyphOrigin.x, y + metrics.tmAscent - glyph.gmptGlyphOrigin.y,
                              glyph.gmBlackBoxX, glyph.gmBlackBoxY, 0, 0, 0, size / pitch, bits.data(),
                              reinterpret_cast<const BITMAPINFO*>(info.get()), DIB_RGB_COLORS);
        }
        x += glyph.gmCellIncX;
    }

    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseImageDC(number, dc);
    return 1;
}
