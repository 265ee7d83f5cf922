// Windows of other programs, by their native id: their size, and painting a
// child's pixels into them (the screen-saver preview draws into the window
// the desktop's settings dialog hands over).
#include <map>

#include "platform/gdi/pixel_buffer.h"
#include "platform/win/sdl2/sdl2_window.h"

namespace {

// On the heap, never destroyed: the platform closes from a static destructor,
// which may run after this file's statics are gone.
std::map<uint64_t, SDL_Window*>& NativeWindows() {
    static auto* windows = new std::map<uint64_t, SDL_Window*>;
    return *windows;
}

SDL_Window* NativeWindow(uint64_t id) {
    auto found = NativeWindows().find(id);
    if (found != NativeWindows().end()) return found->second;
    SDL_Window* window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(id)));
    if (window) NativeWindows()[id] = window;
    return window;
}

}  // namespace

bool Sdl2NativeWindowRect(uint64_t id, RECT* rect) {
    SDL_Window* native = NativeWindow(id);
    if (!native) return false;
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(native, &x, &y);
    SDL_GetWindowSize(native, &width, &height);
    *rect = RECT{x, y, x + width, y + height};
    return true;
}

void Sdl2DrawIntoNativeWindow(uint64_t id, int x, int y, const PixelBuffer& pixels) {
    SDL_Window* native = NativeWindow(id);
    SDL_Surface* target = native ? SDL_GetWindowSurface(native) : nullptr;
    if (!target) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(pixels.bits, pixels.width, pixels.height, 32,
                                                             pixels.pitch, SDL_PIXELFORMAT_XRGB8888);
    if (!source) return;
    SDL_Rect at{x, y, pixels.width, pixels.height};
    SDL_BlitSurface(source, nullptr, target, &at);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(native);
}

void ForgetNativeWindows() {
    for (auto& [id, window] : NativeWindows()) SDL_DestroyWindow(window);
    NativeWindows().clear();
}
