// GDI drawing on the back buffer: lines, rectangles, ellipses, inversion,
// pixels, text in the framework's font (Japanese included), and text
// rendered into a picture that is then rotated.
#include <cmath>

#include "examples/showcase/showcase.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/image/image.h"

namespace {

void EnterGdi() {
    CreateImage(TEXT_SLOT, 200, 40, 1, RGB(0, 0, 0));
    SetTextFont(10, 20, RGB(255, 230, 120), "標準ゴシック");
    SetTextBackground(OPAQUE, RGB(0, 0, 0));
    DrawTextToImage(TEXT_SLOT, "文字を画像に Text!");
}

void GdiFrame(int frame) {
    DrawFilledRect(0, 24, 640, 480, RGB(12, 16, 28));
    for (int i = 0; i < 24; ++i) {
        const double a = (i * 15 + frame) * M_PI / 180;
        DrawLine(120, 150, 120 + static_cast<int>(90 * std::cos(a)), 150 + static_cast<int>(90 * std::sin(a)),
                 RGB(80 + i * 7, 200 - i * 5, 255));
    }
    DrawRect(240, 60, 380, 140, RGB(255, 255, 255));
    DrawFilledRect(250, 70, 370, 130, RGB(200, 60, 60));
    DrawEllipse(400, 60, 620, 140, RGB(120, 255, 160));
    DrawFilledEllipse(430 + frame % 60, 80, 500 + frame % 60, 120, RGB(40, 120, 255));
    InvertScreenRect(240 + frame % 120, 100, 300 + frame % 120, 150);
    for (int i = 0; i < 400; ++i) SetScreenPixel((i * 37 + frame) % 640, 260 + (i * 53) % 40, RGB(255, 255, 255));

    SetTextBackground(TRANSPARENT, 0);
    SetTextFont(8, 16, RGB(255, 255, 255), "標準ゴシック");
    PrintText(16, 320, "PrintText: 日本語のテキストと English text");
    SetTextFont(12, 24, RGB(255, 200, 80), "標準ゴシック");
    SetTextCentered(1);
    PrintText(0, 350, "中央揃え centred");
    SetTextCentered(0);
    SetTextFont(6, 16, RGB(160, 220, 255), "標準ゴシック");
    PrintText(16, 390, "condensed 6 x 16 cells: the quick brown fox");
    SetTextFont(8, 16, RGB(255, 255, 255), "標準ゴシック");
    DrawImageRotated(520, 420, TEXT_SLOT, frame % 360, 0, 0, -1, -1);
}

}  // namespace

const ShowcasePage kGdiPage = {"GDI shapes, pixels and text", EnterGdi, GdiFrame};
