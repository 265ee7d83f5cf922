// CreateFontA, font selection and text metrics. Escapement, orientation,
// italic, underline, strike-out, precision, quality and pitch are accepted
// and not applied: text is drawn upright and plain.
#include "platform/gdi/fonts.h"

#include "platform/gdi/font_match.h"

namespace {

FontInstance* Instance(int height, int width, int weight, DWORD charSet, const char* faceName) {
    const FontFile file = MatchFontFile(faceName, charSet);
    if (file.path.empty()) return nullptr;
    return GetFontInstance(FontKey{file.path, file.faceIndex, height, width < 0 ? -width : width, weight >= 600});
}

// The font a context holds until another is selected; never deleted.
GdiFont* StockFont() {
    static GdiFont* stock = []() -> GdiFont* {
        FontInstance* instance = Instance(0, 0, FW_NORMAL, SHIFTJIS_CHARSET, "");
        if (!instance) return nullptr;
        auto* font = new GdiFont;
        font->instance = instance;
        RegisterGdiObject(font);
        return font;
    }();
    return stock;
}

}  // namespace

GdiFont* AsFont(HGDIOBJ object) { return IsLiveGdiObject(object) ? dynamic_cast<GdiFont*>(object) : nullptr; }

HFONT CreateFontA(int height, int width, int, int, int weight, DWORD, DWORD, DWORD, DWORD charSet, DWORD, DWORD,
                  DWORD, DWORD, const char* faceName) {
    FontInstance* instance = Instance(height, width, weight, charSet, faceName);
    if (!instance) return nullptr;
    auto* font = new GdiFont;
    font->instance = instance;
    RegisterGdiObject(font);
    return font;
}

HGDIOBJ SelectFont(HDC dc, GdiFont* font) {
    HGDIOBJ previous = dc->font ? dc->font : StockFont();
    dc->font = font;
    dc->fontInstance = font->instance;
    return previous;
}

FontInstance* ContextFont(HDC dc) {
    if (dc->fontInstance) return dc->fontInstance;
    return StockFont() ? StockFont()->instance : nullptr;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    if (!IsLiveDC(dc) || !metrics) return FALSE;
    FontInstance* font = ContextFont(dc);
    if (!font) return FALSE;
    const FontCellMetrics& m = font->Metrics();
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internalLeading;
    metrics->tmAveCharWidth = m.aveCharWidth;
    metrics->tmMaxCharWidth = m.maxCharWidth;
    metrics->tmWeight = m.weight;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFC;
    metrics->tmDefaultChar = 0x81;
    metrics->tmBreakChar = 0x20;
    metrics->tmCharSet = static_cast<BYTE>(SHIFTJIS_CHARSET);
    return TRUE;
}
