// Helpers of the SDL2 backend: coordinate mapping and message boxes.
#pragma once

#include <SDL.h>

#include "platform/win/win.h"

// A window pixel coordinate as a picture pixel at the given scale.
inline int PictureCoordinate(int windowPixel, int scale) { return windowPixel / scale; }

// An SDL message box with the buttons and icon of a MessageBoxA type; the
// answer as IDOK, IDCANCEL, IDYES or IDNO.
int ShowSdlMessageBox(SDL_Window* parent, const char* textUtf8, const char* captionUtf8, UINT type);
