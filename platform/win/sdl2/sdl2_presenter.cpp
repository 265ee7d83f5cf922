// Shows the primary surface in the SDL window: the picture goes into a
// streaming texture and is drawn as large as the window allows with its aspect
// kept and black bars around it; whole-number scales stay sharp, others are
// filtered. Full screen covers the desktop without changing its mode.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/pixel_buffer.h"
#include "platform/win/picture_rgb.h"
#include "platform/win/platform.h"
#include "platform/win/sdl2/sdl2_window.h"

namespace {

struct Presenter {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Uint32 textureFormat = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    RgbImage rgb;      // reused from frame to frame
    std::vector<uint8_t> shown;  // the pixels on screen now, to skip frames that did not change
    int shownWidth = 0, shownHeight = 0, shownOutputWidth = 0, shownOutputHeight = 0;
    SDL_Rect view{};   // where the picture stands, in window coordinates; empty before the first
};

Presenter gPresenter;

void ClearWindow() {
    SDL_SetRenderDrawColor(gPresenter.renderer, 0, 0, 0, 255);
    SDL_RenderClear(gPresenter.renderer);
}

bool IsFiveSixFive(const PixelFormat& format) {
    return format.bitsPerPixel == 16 && format.redMask == 0xF800 && format.greenMask == 0x07E0 &&
           format.blueMask == 0x001F;
}

// A texture of the picture's size; 5-6-5 pictures go up as they are, others as RGB bytes.
bool EnsureTexture(int width, int height, Uint32 format) {
    if (gPresenter.texture && width == gPresenter.pictureWidth && height == gPresenter.pictureHeight &&
        format == gPresenter.textureFormat)
        return true;
    if (gPresenter.texture) SDL_DestroyTexture(gPresenter.texture);
    gPresenter.texture = SDL_CreateTexture(gPresenter.renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
    gPresenter.pictureWidth = width;
    gPresenter.pictureHeight = height;
    gPresenter.textureFormat = format;
    return gPresenter.texture != nullptr;
}

// The largest rectangle of the picture's aspect centred in the output.
SDL_Rect FitPicture(int outputWidth, int outputHeight, bool* wholeScale) {
    const double scale = std::min(static_cast<double>(outputWidth) / gPresenter.pictureWidth,
                                  static_cast<double>(outputHeight) / gPresenter.pictureHeight);
    *wholeScale = scale >= 1 && scale == std::floor(scale);
    const int width = static_cast<int>(std::lround(gPresenter.pictureWidth * scale));
    const int height = static_cast<int>(std::lround(gPresenter.pictureHeight * scale));
    return {(outputWidth - width) / 2, (outputHeight - height) / 2, width, height};
}

}  // namespace

void AttachPresenter(SDL_Window* window) {
    gPresenter = Presenter{};
    gPresenter.window = window;
    gPresenter.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!gPresenter.renderer) gPresenter.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!gPresenter.renderer) return;
    ClearWindow();
    SDL_RenderPresent(gPresenter.renderer);
}

void DetachPresenter() {
    if (gPresenter.texture) SDL_DestroyTexture(gPresenter.texture);
    if (gPresenter.renderer) SDL_DestroyRenderer(gPresenter.renderer);
    gPresenter = Presenter{};
}

void Sdl2SetDisplayMode(int, int, int, bool fullScreen) {
    if (!gPresenter.window) return;
    InvalidatePresentedPicture();
    if (!fullScreen) {
        SDL_SetWindowFullscreen(gPresenter.window, 0);
        return;
    }
    // Cover the desktop first: without a window manager the full-screen
    // request alone leaves the window where it was.
    SDL_Rect desktop{};
    SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(gPresenter.window), &desktop);
    SDL_SetWindowBordered(gPresenter.window, SDL_FALSE);
    SDL_SetWindowPosition(gPresenter.window, desktop.x, desktop.y);
    SDL_SetWindowSize(gPresenter.window, desktop.w, desktop.h);
    SDL_SetWindowFullscreen(gPresenter.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

namespace {

// True when the picture and the output are what is on screen already; else
// remembers them. Idle frames then cost a comparison instead of a redraw.
bool AlreadyShown(const PixelBuffer& picture, int outputWidth, int outputHeight) {
    const size_t rowBytes = static_cast<size_t>(picture.width) * ((picture.format.bitsPerPixel + 7) / 8);
    const bool sameSize = gPresenter.shownWidth == picture.width && gPresenter.shownHeight == picture.height &&
                          gPresenter.shownOutputWidth == outputWidth && gPresenter.shownOutputHeight == outputHeight &&
                          gPresenter.shown.size() == rowBytes * picture.height;
    bool same = sameSize;
    gPresenter.shown.resize(rowBytes * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.bits + static_cast<ptrdiff_t>(y) * picture.pitch;
        uint8_t* copy = gPresenter.shown.data() + y * rowBytes;
        if (same && std::memcmp(copy, row, rowBytes) == 0) continue;
        same = false;
        std::memcpy(copy, row, rowBytes);
    }
    gPresenter.shownWidth = picture.width;
    gPresenter.shownHeight = picture.height;
    gPresenter.shownOutputWidth = outputWidth;
    gPresenter.shownOutputHeight = outputHeight;
    return same;
}

}  // namespace

void InvalidatePresentedPicture() { gPresenter.shownWidth = 0; }

void Sdl2PresentPicture(const PixelBuffer& picture) {
    if (!gPresenter.renderer || picture.width <= 0 || picture.height <= 0) return;
    int outputWidth = 0, outputHeight = 0, windowWidth = 0, windowHeight = 0;
    SDL_GetRendererOutputSize(gPresenter.renderer, &outputWidth, &outputHeight);
    SDL_GetWindowSize(gPresenter.window, &windowWidth, &windowHeight);
    if (outputWidth <= 0 || outputHeight <= 0) return;
    // 8-bit pictures depend on their palette too, so they are always drawn.
    if (picture.format.bitsPerPixel > 8 && AlreadyShown(picture, outputWidth, outputHeight)) return;
    if (IsFiveSixFive(picture.format)) {
        if (!EnsureTexture(picture.width, picture.height, SDL_PIXELFORMAT_RGB565)) return;
        SDL_UpdateTexture(gPresenter.texture, nullptr, picture.bits, picture.pitch);
    } else {
        if (!EnsureTexture(picture.width, picture.height, SDL_PIXELFORMAT_RGB24)) return;
        PictureToRgb(picture, &gPresenter.rgb);
        SDL_UpdateTexture(gPresenter.texture, nullptr, gPresenter.rgb.rgb.data(), picture.width * 3);
    }

    bool wholeScale = false;
    const SDL_Rect target = FitPicture(outputWidth, outputHeight, &wholeScale);
    SDL_SetTextureScaleMode(gPresenter.texture, wholeScale ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    ClearWindow();
    SDL_RenderCopy(gPresenter.renderer, gPresenter.texture, nullptr, &target);
    SDL_RenderPresent(gPresenter.renderer);

    // Output pixels differ from window coordinates on high-density displays.
    gPresenter.view = {target.x * windowWidth / outputWidth, target.y * windowHeight / outputHeight,
                       target.w * windowWidth / outputWidth, target.h * windowHeight / outputHeight};
}

POINT PicturePoint(int windowX, int windowY) {
    const SDL_Rect& v = gPresenter.view;
    if (v.w <= 0 || v.h <= 0) {
        const int scale = GetPlatformOptions().windowScale;
        return {windowX / scale, windowY / scale};
    }
    const int x = std::clamp(windowX - v.x, 0, v.w - 1), y = std::clamp(windowY - v.y, 0, v.h - 1);
    return {static_cast<LONG>(static_cast<int64_t>(x) * gPresenter.pictureWidth / v.w),
            static_cast<LONG>(static_cast<int64_t>(y) * gPresenter.pictureHeight / v.h)};
}

POINT WindowPoint(int pictureX, int pictureY) {
    const SDL_Rect& v = gPresenter.view;
    if (v.w <= 0 || v.h <= 0) {
        const int scale = GetPlatformOptions().windowScale;
        return {pictureX * scale, pictureY * scale};
    }
    return {static_cast<LONG>(v.x + static_cast<int64_t>(pictureX) * v.w / gPresenter.pictureWidth),
            static_cast<LONG>(v.y + static_cast<int64_t>(pictureY) * v.h / gPresenter.pictureHeight)};
}
