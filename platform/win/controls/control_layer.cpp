// The layer that shows the platform's controls and dialogs: every picture the
// display presents is kept, and while controls are up they are drawn over a
// copy of it, each window by its own WM_PRINTCLIENT, in creation order (a
// window's children after it). With no control up the picture goes to the
// desktop untouched. While a program waits for messages (a modal dialog, a
// selection screen) nothing else presents, so the layer shows the controls
// again from the kept picture each time the program waits.
#include "platform/win/controls/control_layer.h"

#include <cstring>
#include <vector>

#include "platform/win/backend.h"
#include "platform/win/controls/controls.h"

namespace {

struct KeptPicture {
    std::vector<uint8_t> bytes;
    std::vector<PaletteEntryRGB> palette;
    PixelBuffer pixels;
};

struct Layer {
    KeptPicture picture;    // the last picture presented
    KeptPicture composite;  // the picture with the controls over it
    bool shown = false;     // controls are on the desktop now
};

Layer& gLayer = *new Layer;  // outlives static destructors

void Keep(const PixelBuffer& source, KeptPicture* kept) {
    const size_t rowBytes = static_cast<size_t>(source.width) * ((source.format.bitsPerPixel + 7) / 8);
    kept->bytes.resize(rowBytes * source.height);
    for (int y = 0; y < source.height; ++y)
        std::memcpy(kept->bytes.data() + y * rowBytes, source.bits + static_cast<ptrdiff_t>(y) * source.pitch, rowBytes);
    kept->pixels = source;
    kept->pixels.bits = kept->bytes.data();
    kept->pixels.pitch = static_cast<int>(rowBytes);
    kept->palette.clear();
    if (source.palette) kept->palette.assign(source.palette, source.palette + 256);
    kept->pixels.palette = source.palette ? kept->palette.data() : nullptr;
}

bool IsOverlay(HWND window) {
    HWND main = MainWindow();
    return window != main && (window->style & WS_VISIBLE) && IsWithin(window, main);
}

bool AnyOverlay() {
    for (HWND w : LiveWindows())
        if (IsOverlay(w)) return true;
    return false;
}

void PaintChildren(HWND parent, HDC dc) {
    for (HWND w : LiveWindows()) {
        if (w->parent != parent || !(w->style & WS_VISIBLE)) continue;
        const RECT area = PictureRect(w);
        HRGN clip = CreateRectRgn(area.left, area.top, area.right, area.bottom);
        SelectClipRgn(dc, clip);
        SendMessageA(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
        SelectClipRgn(dc, nullptr);
        DeleteObject(clip);
        PaintChildren(w, dc);
    }
}

void PresentComposite() {
    Keep(gLayer.picture.pixels, &gLayer.composite);
    HDC dc = CreateSurfaceDC(gLayer.composite.pixels);
    HFONT font = CreateControlFont();
    HGDIOBJ previous = SelectObject(dc, font);
    PaintChildren(MainWindow(), dc);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteSurfaceDC(dc);
    Backend().presentPicture(gLayer.composite.pixels);
    gLayer.shown = true;
}

}  // namespace

void PresentPicture(const PixelBuffer& picture) {
    Keep(picture, &gLayer.picture);
    if (MainWindow() && AnyOverlay()) return PresentComposite();
    gLayer.shown = false;
    Backend().presentPicture(picture);
}

void RefreshControlLayer() {
    if (gLayer.picture.bytes.empty() || !MainWindow()) return;
    if (AnyOverlay()) {
        PresentComposite();
    } else if (gLayer.shown) {
        gLayer.shown = false;
        Backend().presentPicture(gLayer.picture.pixels);
    }
}

void ResetControlLayer() { gLayer = Layer{}; }

RECT PictureRect(HWND window) {
    const int width = window->rect.right - window->rect.left, height = window->rect.bottom - window->rect.top;
    if (window == MainWindow() || !window->parent) return {0, 0, width, height};
    const RECT parent = PictureRect(window->parent);
    const int x = parent.left + window->rect.left, y = parent.top + window->rect.top;
    return {x, y, x + width, y + height};
}

bool IsWithin(HWND window, HWND root) {
    for (HWND w = window; w; w = w->parent)
        if (w == root) return true;
    return false;
}
