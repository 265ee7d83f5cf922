// DirectDraw palettes: 256 colours that 8-bit pixels stand for. Only whole
// 8-bit palettes exist; entry flags are kept as given.
#include "platform/ddraw/ddraw_objects.h"

SoftwarePalette::SoftwarePalette(const PALETTEENTRY* entries) {
    SetEntries(0, 0, 256, entries);
}

HRESULT SoftwarePalette::GetEntries(DWORD, DWORD base, DWORD count, PALETTEENTRY* entries) {
    if (!entries || base > 256 || count > 256 - base) return DDERR_INVALIDPARAMS;
    for (DWORD i = 0; i < count; ++i) {
        const PaletteEntryRGB& c = colors_[base + i];
        entries[i] = PALETTEENTRY{c.red, c.green, c.blue, c.flags};
    }
    return DD_OK;
}

HRESULT SoftwarePalette::SetEntries(DWORD, DWORD base, DWORD count, const PALETTEENTRY* entries) {
    if (!entries || base > 256 || count > 256 - base) return DDERR_INVALIDPARAMS;
    for (DWORD i = 0; i < count; ++i) {
        const PALETTEENTRY& e = entries[i];
        colors_[base + i] = PaletteEntryRGB{e.peRed, e.peGreen, e.peBlue, e.peFlags};
    }
    return DD_OK;
}
