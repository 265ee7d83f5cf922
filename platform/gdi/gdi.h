// The GDI calls the framework makes, with their original names and results:
// device contexts on surfaces and bitmaps, DIBs, bitmap loading, regions,
// mix modes, pixels, pens, brushes, lines and shapes. Colours are COLORREF
// 0x00BBGGRR.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/pixel_buffer.h"
#include "platform/win/win.h"

using COLORREF = DWORD;

// Every GDI handle points at a GdiObject; the kinds live in the GDI sources.
// A region is passed where any object is accepted, so its kind shows here.
struct GdiObject {
    virtual ~GdiObject() = default;
};
struct GdiRegion : GdiObject {
    RECT rect{};  // right and bottom exclusive
};
struct DeviceContext;
using HGDIOBJ = GdiObject*;
using HBITMAP = GdiObject*;
using HPEN = GdiObject*;
using HFONT = GdiObject*;
using HRGN = GdiRegion*;
using HDC = DeviceContext*;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD CBM_INIT = 4;

constexpr DWORD SRCCOPY = 0x00CC0020;

// Mix modes (SetROP2).
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
              R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
              R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;

// GetDeviceCaps.
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;

// LoadImageA.
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_LOADFROMFILE = 0x0010;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;

// Region results (SelectClipRgn).
constexpr int ERROR_REGION = 0, NULLREGION = 1, SIMPLEREGION = 2;

// Device contexts.
HDC GetDC(HWND window);  // the screen (desktop) context for window = null
int ReleaseDC(HWND window, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
int GetObjectA(HGDIOBJ object, int size, void* out);
// The bitmap a context draws into (OBJ_BITMAP): a surface's context gives a
// DIB section over the surface's pixels, valid until the context goes.
constexpr UINT OBJ_BITMAP = 7;
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int GetDeviceCaps(HDC dc, int index);
UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries);

// The system palette's 20 static colours as colour references: entries 0..9
// followed by entries 246..255.
inline constexpr COLORREF SYSTEM_STATIC_COLORS[20] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0, 0xC0DCC0, 0xF0CCA8,
    0xF0FCFF, 0xA8A0A0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// The 256 colours behind an 8-bit surface that has no palette of its own:
// the 20 static colours (0..9, 246..255) with black between them.
const PaletteEntryRGB* GetDefaultPalette();

// A context that draws straight into a locked surface's pixels (what
// IDirectDrawSurface::GetDC hands out); the pixels must stay valid until
// DeleteSurfaceDC.
HDC CreateSurfaceDC(const PixelBuffer& pixels);
void DeleteSurfaceDC(HDC dc);

// Bitmaps and DIBs.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);

// Regions and mix mode.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
int SelectClipRgn(HDC dc, HRGN region);
int SetROP2(HDC dc, int mode);

// Pens, brushes and stock objects. A new context holds BLACK_PEN and
// WHITE_BRUSH; selecting a pen or brush returns the one it replaces.
constexpr int PS_SOLID = 0, PS_NULL = 5;
constexpr int WHITE_BRUSH = 0, BLACK_BRUSH = 4, NULL_BRUSH = 5, HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6,
              BLACK_PEN = 7, NULL_PEN = 8;
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HGDIOBJ GetStockObject(int index);

// Lines and shapes, drawn with the selected pen and brush in the context's
// mix mode and cut by its clip region. Lines leave out their end point;
// rectangles and ellipses leave out their right and bottom edges.
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
BOOL LineTo(HDC dc, int x, int y);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);

// Bitmaps from .bmp files, or from the bitmaps embedded in the program by name.
void* LoadImageA(HINSTANCE instance, const char* name, UINT type, int width, int height, UINT flags);
HBITMAP LoadBitmapA(HINSTANCE instance, const char* name);

// Window icons (icons.cpp): an "ICON" resource of the program; the standard
// icons (no module) are the desktop's own and give null.
HICON LoadIconA(HINSTANCE instance, const char* name);
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
// An icon's pixels as 0xAARRGGBB, its top-left colour transparent.
bool GetIconPixels(HICON icon, int* width, int* height, std::vector<uint32_t>* argb);

// Fonts and text. Fonts are matched by face name to the installed ones;
// text is Shift-JIS (code page 932), drawn without anti-aliasing in the text
// colour, over a box of the background colour in OPAQUE mode.
struct SIZE {
    LONG cx;
    LONG cy;
};

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

struct FIXED {
    WORD fract;
    short value;
};

struct MAT2 {
    FIXED eM11, eM12, eM21, eM22;
};

struct GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;  // left edge and top row of the black box, y up from the baseline
    short gmCellIncX;
    short gmCellIncY;
};

constexpr int FW_NORMAL = 400, FW_BOLD = 700;
constexpr DWORD SHIFTJIS_CHARSET = 128;
constexpr DWORD OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0, DEFAULT_PITCH = 0;
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr UINT DT_NOCLIP = 0x100, DT_NOPREFIX = 0x800;
constexpr UINT GGO_GRAY8_BITMAP = 6;
constexpr DWORD GDI_ERROR = 0xFFFFFFFF;
constexpr WORD CP_SHIFTJIS = 932;

// Height > 0 is the character cell, < 0 the em height, 0 a 16-pixel cell.
// Width 0 keeps the face's proportions; another width scales the glyphs
// horizontally so that a single-byte cell is that wide (double-byte: twice).
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, const char* faceName);
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF SetTextColor(HDC dc, COLORREF color);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int length);
// Lines break at CR, LF and CR LF. Without DT_NOCLIP the text is clipped to
// the rectangle; ampersands are drawn as they are (no prefix processing).
// The result is the height of the drawn text.
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
// The character is a single byte or lead byte * 256 + trail byte. Levels run
// 0..64, rows are padded to 4 bytes. The matrix is the identity (rows top
// first) or the vertical flip (rows bottom first, for a bottom-up DIB); the
// metrics always describe the upright glyph. Without a buffer the result is
// the size the bits need.
DWORD GetGlyphOutlineA(HDC dc, UINT character, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize,
                       void* buffer, const MAT2* matrix);
// Bottom-up DIBs count source rows and scans from the bottom, top-down ones
// from the top. The result is the number of scan lines given.
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
// The character after current: two bytes on for a lead byte followed by a
// legal trail byte of the code page (only 932 has double-byte characters).
const char* CharNextExA(WORD codePage, const char* current, DWORD flags);
