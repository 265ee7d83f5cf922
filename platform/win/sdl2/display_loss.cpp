#include "platform/win/sdl2/display_loss.h"

#include <SDL.h>
#include <dlfcn.h>
#include <setjmp.h>
#include <unistd.h>

#include <cstring>

#include "platform/win/debug_output.h"

namespace {

using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler handler);

bool gDisplayLost = false;
sigjmp_buf* gGuard = nullptr;  // the guarded call in progress, if any

constexpr char LOST_TEXT[] = "display: the connection to the desktop's display was lost; the program closes\n";

// Xlib calls this once the connection is broken and exits when it returns, so
// it either jumps back to the guarded call or leaves the process at once.
int OnBrokenConnection(void*) {
    gDisplayLost = true;
    if (sigjmp_buf* guard = gGuard) {
        gGuard = nullptr;
        siglongjmp(*guard, 1);
    }
    // Not inside a guarded call: Xlib's exit would run destructors that call
    // into the dead connection.
    ssize_t written = write(STDERR_FILENO, LOST_TEXT, sizeof(LOST_TEXT) - 1);
    (void)written;
    _exit(1);
}

bool CreateNoWindow(int, int, int, int, const char*, bool) { return false; }
void Nothing() {}
void NoTitle(const char*) {}
void NoIcon(int, int, const uint32_t*) {}
void NoFrame(int, int, int, int, bool) {}
void LastDesktopSize(int* width, int* height) { *width = 640, *height = 480; }
bool NoNativeWindow(uint64_t, RECT*) { return false; }
void NoNativeDrawing(uint64_t, int, int, const PixelBuffer&) {}
void NoCursorMove(int, int) {}
void NoCursorShow(bool) {}
void NoConfinement(const RECT*) {}
bool NoTextInput(bool) { return false; }
void NoClipboardText(const char*) {}
std::string EmptyClipboard() { return {}; }
// Nobody can answer: the cautious answer of each kind of box.
int UnansweredBox(const char*, const char*, UINT type) {
    switch (type & 0xF) {
        case MB_YESNO: return IDNO;
        case MB_OKCANCEL: return IDCANCEL;
        default: return IDOK;
    }
}
void NoDisplayMode(int, int, int, bool) {}
void NoPicture(const PixelBuffer&) {}
// Waiting for desktop events that can no longer come: a short sleep keeps a
// waiting loop from spinning.
void WaitWithoutDisplay() { SDL_Delay(10); }

}  // namespace

void WatchDisplayConnection() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return;
    // SDL loaded Xlib itself; the handler goes into that copy.
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!xlib) return;
    if (auto set = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"))) set(OnBrokenConnection);
    dlclose(xlib);
}

bool RunWithDisplay(void (*calls)()) {
    if (gDisplayLost) return false;
    sigjmp_buf guard;
    if (sigsetjmp(guard, 0) != 0) {
        WriteDebugText(LOST_TEXT);
        return false;
    }
    gGuard = &guard;
    calls();
    gGuard = nullptr;
    return true;
}

const WinBackend& DisplayLostBackend(const WinBackend& live) {
    static WinBackend lost;
    lost = live;
    lost.name = "sdl2 without display";
    lost.close = Nothing;
    lost.createWindow = CreateNoWindow;
    lost.destroyWindow = Nothing;
    lost.setWindowTitle = NoTitle;
    lost.setWindowIcon = NoIcon;
    lost.setWindowFrame = NoFrame;
    lost.desktopSize = LastDesktopSize;
    lost.nativeWindowRect = NoNativeWindow;
    lost.drawIntoNativeWindow = NoNativeDrawing;
    lost.pollEvents = Nothing;
    lost.waitEvents = WaitWithoutDisplay;
    lost.warpCursor = NoCursorMove;
    lost.showCursor = NoCursorShow;
    lost.confineCursor = NoConfinement;
    lost.enableTextInput = NoTextInput;
    lost.setClipboardText = NoClipboardText;
    lost.clipboardText = EmptyClipboard;
    lost.messageBox = UnansweredBox;
    lost.setDisplayMode = NoDisplayMode;
    lost.presentPicture = NoPicture;
    return lost;
}
