// Helpers of the SDL2 backend: the presenter that shows pictures in the
// window, coordinate mapping between window and picture, and message boxes.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/win/win.h"

struct PixelBuffer;

// The presenter draws into the window with a renderer of its own.
void AttachPresenter(SDL_Window* window);
void DetachPresenter();
void Sdl2SetDisplayMode(int width, int height, int bitsPerPixel, bool fullScreen);
void Sdl2PresentPicture(const PixelBuffer& picture);
// The window lost its contents (exposed, resized): the next picture is drawn in full.
void InvalidatePresentedPicture();

// A window position as a picture pixel: scale and letter-boxing undone,
// clamped to the picture.
POINT PicturePoint(int windowX, int windowY);
// A picture pixel as a window position.
POINT WindowPoint(int pictureX, int pictureY);

// Other programs' windows by native id (sdl2_native_window.cpp).
bool Sdl2NativeWindowRect(uint64_t id, RECT* rect);
void Sdl2DrawIntoNativeWindow(uint64_t id, int x, int y, const PixelBuffer& pixels);
void ForgetNativeWindows();

// An SDL message box with the buttons and icon of a MessageBoxA type; the
// answer as IDOK, IDCANCEL, IDYES or IDNO.
int ShowSdlMessageBox(SDL_Window* parent, const char* textUtf8, const char* captionUtf8, UINT type);
