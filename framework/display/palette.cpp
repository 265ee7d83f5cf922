// The 8-bit display palette. Entries 0..9 and 247..255 always come from the
// system palette so that GDI output keeps its colours; 10..246 come from the
// framework's own table, which remembers the last bitmap's colours.
#include <array>

#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr uint32_t CUBE_LEVELS[7] = {0x40, 0x60, 0x80, 0xA0, 0xC0, 0xE0, 0xFF};

// The colour list before it is stored: the system's 10 low static colours, a
// 7-level colour cube, its 10 high static colours.
constexpr uint32_t DefaultColor(int k) {
    if (k < 10) return SYSTEM_STATIC_COLORS[k];
    if (k >= 246) return SYSTEM_STATIC_COLORS[10 + k - 246];
    const int n = k - 9;
    return CUBE_LEVELS[n % 7] | (CUBE_LEVELS[(n / 7) % 7] << 8) | (CUBE_LEVELS[n / 49] << 16);
}

// The table holds the list transposed as a 16 x 16 square.
constexpr std::array<uint32_t, 256> DefaultTable() {
    std::array<uint32_t, 256> table{};
    for (int j = 0; j < 256; ++j) table[j] = DefaultColor((j % 16) * 16 + j / 16);
    return table;
}

}  // namespace

std::array<uint32_t, 256> gPaletteTable = DefaultTable();

int CreateDisplayPalette(const RGBQUAD* colors) {
    PALETTEENTRY entries[256];
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, entries);
    ReleaseDC(nullptr, screen);
    for (int i = 10; i <= 246; ++i) {
        if (colors) {
            entries[i].peRed = colors[i].rgbRed;
            entries[i].peGreen = colors[i].rgbGreen;
            entries[i].peBlue = colors[i].rgbBlue;
            gPaletteTable[i] = colors[i].rgbRed + colors[i].rgbGreen * 256u + colors[i].rgbBlue * 65536u;
        } else {
            entries[i].peRed = static_cast<BYTE>(gPaletteTable[i]);
            entries[i].peGreen = static_cast<BYTE>(gPaletteTable[i] >> 8);
            entries[i].peBlue = static_cast<BYTE>(gPaletteTable[i] >> 16);
        }
    }
    if (!gDisplay.device ||
        gDisplay.device->CreatePalette(DDPCAPS_8BIT, entries, &gDisplay.palette, nullptr) != DD_OK) {
        ErrorBox("パレットの作成に失敗しました");
        return 0;
    }
    if (gDisplay.primary) gDisplay.primary->SetPalette(gDisplay.palette);
    return 1;
}

void ReleaseDisplayPalette() {
    if (gDisplay.palette) gDisplay.palette->Release();
    gDisplay.palette = nullptr;
}
