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

// The part of the picture that differs from what is on screen (empty: nothing
// to draw; the whole picture after a change of size or output), remembering
// the picture for next time. Idle frames then cost a comparison, and a blinking
// marker costs its own few pixels, not the whole window.
SDL_Rect ChangedArea(const PixelBuffer& picture, int outputWidth, int outputHeight) {
    const int bytesPerPixel = (picture.format.bitsPerPixel + 7) / 8;
    const size_t rowBytes = static_cast<size_t>(picture.width) * bytesPerPixel;
    const bool sameShape = gPresenter.shownWidth == picture.width && gPresenter.shownHeight == picture.height &&
                           gPresenter.shownOutputWidth == outputWidth &&
                           gPresenter.shownOutputHeight == outputHeight &&
                           gPresenter.shown.size() == rowBytes * picture.height;
    gPresenter.shown.resize(rowBytes * picture.height);
    gPresenter.shownWidth = picture.width;
    gPresenter.shownHeight = picture.height;
    gPresenter.shownOutputWidth = outputWidth;
    gPresenter.shownOutputHeight = outputHeight;
    size_t left = rowBytes, right = 0;
    int top = picture.height, bottom = 0;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.bits + static_cast<ptrdiff_t>(y) * picture.pitch;
        uint8_t* copy = gPresenter.shown.data() + y * rowBytes;
        if (sameShape && std::memcmp(copy, row, rowBytes) == 0) continue;
        size_t first = 0, last = rowBytes;
        if (sameShape) {
            while (copy[first] == row[first]) ++first;
            while (copy[last - 1] == row[last - 1]) --last;
        }
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y + 1;
        std::memcpy(copy + first, row + first, last - first);
    }
    if (top >= bottom) return {0, 0, 0, 0};
    const int x0 = static_cast<int>(left) / bytesPerPixel, x1 = static_cast<int>(right + bytesPerPixel - 1) / bytesPerPixel;
    return {x0, top, x1 - x0, bottom - top};
}

bool IsSoftwareRenderer() {
    SDL_RendererInfo info{};
    return SDL_GetRendererInfo(gPresenter.renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
}

}  // namespace

void InvalidatePresentedPicture() { gPresenter.shownWidth = 0; }

void Sdl2PresentPicture(const PixelBuffer& picture) {
    if (!gPresenter.renderer || picture.width <= 0 || picture.height <= 0) return;
    int outputWidth = 0, outputHeight = 0, windowWidth = 0, windowHeight = 0;
    SDL_GetRendererOutputSize(gPresenter.renderer, &outputWidth, &outputHeight);
    SDL_GetWindowSize(gPresenter.window, &windowWidth, &windowHeight);
    if (outputWidth <= 0 || outputHeight <= 0) return;
    // 8-bit pictures depend on their palette too, so they are always drawn whole.
    SDL_Rect changed{0, 0, picture.width, picture.height};
    if (picture.format.bitsPerPixel > 8) changed = ChangedArea(picture, outputWidth, outputHeight);
    if (changed.w <= 0) return;
    bool wholeScale = false;
    const SDL_Rect target = FitPicture(outputWidth, outputHeight, &wholeScale);
    const bool whole = changed.w == picture.width && changed.h == picture.height;
    if (IsFiveSixFive(picture.format)) {
        if (!EnsureTexture(picture.width, picture.height, SDL_PIXELFORMAT_RGB565)) return;
        SDL_UpdateTexture(gPresenter.texture, &changed, picture.bits + changed.y * picture.pitch + changed.x * 2,
                          picture.pitch);
    } else {
        if (!EnsureTexture(picture.width, picture.height, SDL_PIXELFORMAT_RGB24)) return;
        PictureToRgb(picture, &gPresenter.rgb);
        SDL_UpdateTexture(gPresenter.texture, nullptr, gPresenter.rgb.rgb.data(), picture.width * 3);
    }

    SDL_SetTextureScaleMode(gPresenter.texture, wholeScale ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    // A software renderer keeps what it drew, so only the changed part is drawn
    // again (with a margin for filtering); other renderers draw the frame whole.
    if (!whole && IsSoftwareRenderer()) {
        const SDL_Rect area{target.x + (changed.x - 1) * target.w / picture.width,
                            target.y + (changed.y - 1) * target.h / picture.height,
                            (changed.w + 2) * target.w / picture.width + 1, (changed.h + 2) * target.h / picture.height + 1};
        SDL_RenderSetClipRect(gPresenter.renderer, &area);
    } else {
        ClearWindow();
    }
    SDL_RenderCopy(gPresenter.renderer, gPresenter.texture, nullptr, &target);
    SDL_RenderSetClipRect(gPresenter.renderer, nullptr);
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
