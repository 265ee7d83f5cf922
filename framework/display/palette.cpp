// The 8-bit display palette. Entries 0..9 and 247..255 always come from the
// system palette so that GDI output keeps its colours; 10..246 come from the
// framework's own table, which remembers the last bitmap's colours.
#include <array>

#include "framework/dialog/diagnostics.h"
#include "framework/display/display.h"

namespace {

constexpr uint32_t kDefaultLow[10] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000,
                                      0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CCA8};
constexpr uint32_t kDefaultHigh[10] = {0xF0FCFF, 0xA8A0A0, 0x808080, 0x0000FF, 0x00FF00,
                                       0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr uint32_t kCubeLevels[7] = {0x40, 0x60, 0x80, 0xA0, 0xC0, 0xE0, 0xFF};

// The colour list before it is stored: 10 fixed colours, a 7-level colour
// cube, 10 fixed colours.
constexpr uint32_t DefaultColor(int k) {
    if (k < 10) return kDefaultLow[k];
    if (k >= 246) return kDefaultHigh[k - 246];
    const int n = k - 9;
    return kCubeLevels[n % 7] | (kCubeLevels[(n / 7) % 7] << 8) | (kCubeLevels[n / 49] << 16);
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
