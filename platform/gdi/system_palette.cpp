// The system palette: there is no shared hardware palette here, so it is
// the 20 static colours at both ends with black between them.
#include <algorithm>
#include <array>

#include "platform/gdi/gdi_objects.h"

namespace {

constexpr COLORREF STATIC_LOW[10] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                     0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CCA8};
constexpr COLORREF STATIC_HIGH[10] = {0xF0FCFF, 0xA8A0A0, 0x808080, 0x0000FF, 0x00FF00,
                                      0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

constexpr PaletteEntryRGB ToEntry(COLORREF c) {
    return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16), 0};
}

constexpr std::array<PaletteEntryRGB, 256> MakeSystemPalette() {
    std::array<PaletteEntryRGB, 256> entries{};
    for (int i = 0; i < 10; ++i) {
        entries[i] = ToEntry(STATIC_LOW[i]);
        entries[246 + i] = ToEntry(STATIC_HIGH[i]);
    }
    return entries;
}

constexpr std::array<PaletteEntryRGB, 256> SYSTEM_PALETTE = MakeSystemPalette();

}  // namespace

const PaletteEntryRGB* GetDefaultPalette() { return SYSTEM_PALETTE.data(); }

UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries) {
    if (!IsLiveDC(dc) || start >= 256) return 0;
    if (!entries) return 256;
    const UINT n = std::min<UINT>(count, 256 - start);
    for (UINT i = 0; i < n; ++i) {
        const PaletteEntryRGB& e = SYSTEM_PALETTE[start + i];
        entries[i] = {e.red, e.green, e.blue, 0};
    }
    return n;
}
