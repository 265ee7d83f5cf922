// The controls' look: boxes, frames and rows of text in the Gothic face.
#include <cstring>

#include "platform/win/controls/controls.h"

HFONT CreateControlFont() {
    return CreateFontA(CONTROL_FONT_HEIGHT, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Gothic");
}

void FillBox(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void FrameBox(HDC dc, const RECT& rect, COLORREF color) {
    FillBox(dc, {rect.left, rect.top, rect.right, rect.top + 1}, color);
    FillBox(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    FillBox(dc, {rect.left, rect.top, rect.left + 1, rect.bottom}, color);
    FillBox(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

void DrawRowText(HDC dc, const RECT& rect, const std::string& text, COLORREF color) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT area{rect.left, rect.top + (rect.bottom - rect.top - CONTROL_FONT_HEIGHT) / 2, rect.right, rect.bottom};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_NOPREFIX);
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

HDC MeasureDC() {
    static uint32_t pixel = 0;
    static HDC dc = [] {
        HDC made = CreateSurfaceDC(PixelBuffer{reinterpret_cast<uint8_t*>(&pixel), 1, 1, 4, PIXEL_FORMAT_8888, nullptr});
        SelectObject(made, CreateControlFont());
        return made;
    }();
    return dc;
}
