// Font objects behind HFONT handles and the font a context draws text with.
#pragma once

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/glyph_cache.h"

struct GdiFont : GdiObject {
    FontInstance* instance = nullptr;  // never null for a live font
};

GdiFont* AsFont(HGDIOBJ object);  // null unless a live font

// Selects the font into the context; the result is the font it held.
HGDIOBJ SelectFont(HDC dc, GdiFont* font);

// The font text in the context uses: the selected one, else the stock font
// (the Japanese Gothic face in a 16-pixel cell). Null only when no font at
// all can be opened.
FontInstance* ContextFont(HDC dc);

// Whether two bytes form one double-byte character of code page 932.
bool IsShiftJisPair(uint8_t lead, uint8_t trail);
