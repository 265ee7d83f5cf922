// Pens, solid and hollow brushes, and the stock pens and brushes. Only solid
// and null pen styles exist; a context keeps a copy of what it draws with.
#include "platform/gdi/gdi_objects.h"

namespace {

enum StockIndex { STOCK_WHITE_BRUSH, STOCK_BLACK_BRUSH, STOCK_NULL_BRUSH, STOCK_WHITE_PEN, STOCK_BLACK_PEN,
                  STOCK_NULL_PEN, STOCK_COUNT };

GdiPen* NewPen(PenStyle style) {
    auto* pen = new GdiPen;
    pen->style = style;
    RegisterGdiObject(pen);
    return pen;
}

GdiBrush* NewBrush(BrushStyle style) {
    auto* brush = new GdiBrush;
    brush->style = style;
    RegisterGdiObject(brush);
    return brush;
}

// Made once, on first use, and never deleted.
GdiObject* const* StockObjects() {
    static GdiObject* const stock[STOCK_COUNT] = {
        NewBrush({false, RGB(255, 255, 255)}), NewBrush({false, RGB(0, 0, 0)}), NewBrush({true, 0}),
        NewPen({PS_SOLID, 0, RGB(255, 255, 255)}), NewPen({PS_SOLID, 0, RGB(0, 0, 0)}), NewPen({PS_NULL, 0, 0}),
    };
    return stock;
}

}  // namespace

GdiPen* AsPen(HGDIOBJ object) { return IsLiveGdiObject(object) ? dynamic_cast<GdiPen*>(object) : nullptr; }
GdiBrush* AsBrush(HGDIOBJ object) { return IsLiveGdiObject(object) ? dynamic_cast<GdiBrush*>(object) : nullptr; }

// Unknown styles draw as solid; negative widths as one pixel.
HPEN CreatePen(int style, int width, COLORREF color) {
    return NewPen({style == PS_NULL ? PS_NULL : PS_SOLID, width < 0 ? 0 : width, color & 0xFFFFFF});
}

HBRUSH CreateSolidBrush(COLORREF color) { return NewBrush({false, color & 0xFFFFFF}); }

HGDIOBJ GetStockObject(int index) {
    switch (index) {
    case WHITE_BRUSH: return StockObjects()[STOCK_WHITE_BRUSH];
    case BLACK_BRUSH: return StockObjects()[STOCK_BLACK_BRUSH];
    case NULL_BRUSH: return StockObjects()[STOCK_NULL_BRUSH];
    case WHITE_PEN: return StockObjects()[STOCK_WHITE_PEN];
    case BLACK_PEN: return StockObjects()[STOCK_BLACK_PEN];
    case NULL_PEN: return StockObjects()[STOCK_NULL_PEN];
    default: return nullptr;
    }
}

bool IsStockObject(HGDIOBJ object) {
    for (int i = 0; i < STOCK_COUNT; ++i)
        if (StockObjects()[i] == object) return true;
    return false;
}

HGDIOBJ SelectPenOrBrush(HDC dc, HGDIOBJ object) {
    if (const GdiPen* pen = AsPen(object)) {
        HGDIOBJ previous = dc->pen ? dc->pen : GetStockObject(BLACK_PEN);
        dc->pen = object;
        dc->penStyle = pen->style;
        return previous;
    }
    if (const GdiBrush* brush = AsBrush(object)) {
        HGDIOBJ previous = dc->brush ? dc->brush : GetStockObject(WHITE_BRUSH);
        dc->brush = object;
        dc->brushStyle = brush->style;
        return previous;
    }
    return nullptr;
}
