// The system palette: there is no shared hardware palette here, so it is
// the 20 static colours at both ends with black between them.
#include <algorithm>
#include <array>

#include "platform/gdi/gdi_objects.h"

namespace {

constexpr PaletteEntryRGB ToEntry(COLORREF c) {
    return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16), 0};
}

constexpr std::array<PaletteEntryRGB, 256> MakeSystemPalette() {
    std::array<PaletteEntryRGB, 256> entries{};
    for (int i = 0; i < 10; ++i) {
        entries[i] = ToEntry(SYSTEM_STATIC_COLORS[i]);
        entries[246 + i] = ToEntry(SYSTEM_STATIC_COLORS[10 + i]);
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
