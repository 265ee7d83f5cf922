// Shows the primary surface in the SDL window, as large as the window allows
// with its aspect kept and black bars around it. With a graphics processor the
// picture goes into a streaming texture that the accelerated renderer draws
// (whole-number scales stay sharp, others are filtered). Where the only
// renderer draws in software (no renderer but SDL's own, or OpenGL on the CPU
// as Mesa's llvmpipe and softpipe do), the picture is scaled by whole numbers
// straight into the window's surface and only the rectangle that changed is
// sent to the display: an idle screen with a blinking marker then costs the
// marker's pixels, not a whole window drawn through software OpenGL. Full
// screen covers the desktop without changing its mode.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/pixel_buffer.h"
#include "platform/win/picture_rgb.h"
#include "platform/win/picture_scaler.h"
#include "platform/win/platform.h"
#include "platform/win/sdl2/sdl2_window.h"

namespace {

struct Presenter {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;  // null: the picture goes into the window's surface
    SDL_Texture* texture = nullptr;
    Uint32 textureFormat = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    RgbImage rgb;      // reused from frame to frame
    std::vector<uint8_t> shown;  // the pixels on screen now, to skip frames that did not change
    int shownWidth = 0, shownHeight = 0, shownOutputWidth = 0, shownOutputHeight = 0;
    SDL_Surface* surface = nullptr;  // the window surface drawn into last
    std::vector<uint32_t> staging;   // scaled pixels for a window surface that is not 0x00RRGGBB
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

// A renderer that draws on the CPU: SDL's software renderer, or OpenGL whose
// driver rasterises in software.
bool RendersInSoftware(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) return true;
    if (info.flags & SDL_RENDERER_SOFTWARE) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int GL_RENDERER_NAME = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const auto* name = getString ? reinterpret_cast<const char*>(getString(GL_RENDERER_NAME)) : nullptr;
    return name && (std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe"));
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
    if (gPresenter.renderer && RendersInSoftware(gPresenter.renderer)) {
        SDL_DestroyRenderer(gPresenter.renderer);
        gPresenter.renderer = nullptr;
    }
    if (!gPresenter.renderer) {
        // The window's surface straight through the window system (shared
        // memory on X11), not through a texture that a renderer draws.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_GetWindowSurface(window)) return;
        gPresenter.renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        if (!gPresenter.renderer) return;
    }
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
// marker costs its own few pixels, not the whole window. 8-bit pictures depend
// on their palette too, so they are always drawn whole.
SDL_Rect ChangedArea(const PixelBuffer& picture, int outputWidth, int outputHeight) {
    if (picture.format.bitsPerPixel <= 8) return {0, 0, picture.width, picture.height};
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

// Output pixels differ from window coordinates on high-density displays.
void RememberView(const SDL_Rect& target, int outputWidth, int outputHeight) {
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(gPresenter.window, &windowWidth, &windowHeight);
    gPresenter.view = {target.x * windowWidth / outputWidth, target.y * windowHeight / outputHeight,
                       target.w * windowWidth / outputWidth, target.h * windowHeight / outputHeight};
}

void PresentThroughRenderer(const PixelBuffer& picture) {
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(gPresenter.renderer, &outputWidth, &outputHeight);
    if (outputWidth <= 0 || outputHeight <= 0) return;
    const SDL_Rect changed = ChangedArea(picture, outputWidth, outputHeight);
    if (changed.w <= 0) return;
    if (IsFiveSixFive(picture.format)) {
        if (!EnsureTexture(picture.width, picture.height, SDL_PIXELFORMAT_RGB565)) return;
        SDL_UpdateTexture(gPresenter.texture, &changed, picture.bits + changed.y * picture.pitch + changed.x * 2,
                          picture.pitch);
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
    RememberView(target, outputWidth, outputHeight);
}

bool IsXrgb(const SDL_PixelFormat& format) {
    return format.BytesPerPixel == 4 && format.Rmask == 0xFF0000 && format.Gmask == 0x00FF00 && format.Bmask == 0x0000FF;
}

void PresentIntoWindowSurface(const PixelBuffer& picture) {
    SDL_Surface* surface = SDL_GetWindowSurface(gPresenter.window);
    if (!surface || surface->w <= 0 || surface->h <= 0) return;
    // A new surface (after a resize or a switch of screen mode) starts empty.
    if (surface != gPresenter.surface) InvalidatePresentedPicture();
    gPresenter.surface = surface;
    const SDL_Rect changed = ChangedArea(picture, surface->w, surface->h);
    if (changed.w <= 0) return;
    gPresenter.pictureWidth = picture.width;
    gPresenter.pictureHeight = picture.height;
    const PixelArea view = FitWholeScale(picture.width, picture.height, surface->w, surface->h);
    const bool whole = changed.w == picture.width && changed.h == picture.height;
    if (whole) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));

    const bool direct = IsXrgb(*surface->format);
    if (!direct) gPresenter.staging.resize(static_cast<size_t>(surface->w) * surface->h);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    uint32_t* pixels = direct ? static_cast<uint32_t*>(surface->pixels) : gPresenter.staging.data();
    const int pitch = direct ? surface->pitch : surface->w * 4;
    const PixelArea written = ScalePicturePart(picture, {changed.x, changed.y, changed.w, changed.h}, view, pixels,
                                               pitch, surface->w, surface->h);
    if (!direct && !written.Empty()) {
        SDL_ConvertPixels(written.width, written.height, SDL_PIXELFORMAT_RGB888,
                          pixels + static_cast<ptrdiff_t>(written.y) * surface->w + written.x, pitch,
                          surface->format->format,
                          static_cast<uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(written.y) * surface->pitch +
                              written.x * surface->format->BytesPerPixel,
                          surface->pitch);
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    const SDL_Rect area{written.x, written.y, written.width, written.height};
    if (whole) SDL_UpdateWindowSurface(gPresenter.window);
    else if (!written.Empty()) SDL_UpdateWindowSurfaceRects(gPresenter.window, &area, 1);
    RememberView({view.x, view.y, view.width, view.height}, surface->w, surface->h);
}

}  // namespace

void InvalidatePresentedPicture() { gPresenter.shownWidth = 0; }

void Sdl2PresentPicture(const PixelBuffer& picture) {
    if (!gPresenter.window || picture.width <= 0 || picture.height <= 0) return;
    if (gPresenter.renderer) PresentThroughRenderer(picture);
    else PresentIntoWindowSurface(picture);
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
