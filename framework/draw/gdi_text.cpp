// Text on the back buffer: the framework's text settings and PrintText, which
// formats a line, makes the font from the settings and draws it through the
// back buffer's GDI context, clipped by its clip region.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/app/app.h"
#include "framework/display/display.h"
#include "framework/draw/gdi_draw.h"

int SetTextFont(int width, int height, uint32_t color, const char* face) {
    gApp.fontWidth = width;
    gApp.fontHeight = height;
    gApp.textColor = color;
    if (face) {
        std::strncpy(gApp.fontFace, face, sizeof(gApp.fontFace) - 1);
        gApp.fontFace[sizeof(gApp.fontFace) - 1] = '\0';
    }
    return 1;
}

void SetTextBackground(int mode, uint32_t color) {
    gApp.textBkMode = mode;
    gApp.textBkColor = color;
}

void SetTextCentered(int centered) { gApp.textCentered = centered; }

HFONT CreateTextFont() {
    return CreateFontA(gApp.fontHeight, gApp.fontWidth, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, gApp.fontFace);
}

void PrintText(int x, int y, const char* format, ...) {
    HDC dc = GetScreenDC();
    if (!dc) return;
    // A background mode of 0 is refused by the context, which keeps its own.
    SetBkMode(dc, gApp.textBkMode);
    SetBkColor(dc, gApp.textBkColor);
    SetTextColor(dc, gApp.textColor);
    HFONT font = CreateTextFont();
    HGDIOBJ previous = SelectObject(dc, font);

    char text[PRINT_TEXT_BUFFER_SIZE];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    // Centred on the whole screen width, whatever the clip rectangle.
    if (gApp.textCentered) {
        SIZE extent{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &extent);
        x = (gDisplay.screenWidth - extent.cx) / 2;
    }
    RECT area{x, y, gDisplay.screenWidth, gDisplay.screenHeight};
    DrawTextA(dc, text, -1, &area, DT_NOCLIP | DT_NOPREFIX);

    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseScreenDC(dc);
}
