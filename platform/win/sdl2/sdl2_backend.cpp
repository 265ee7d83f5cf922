// The desktop backend on SDL2: one real window, desktop events turned into
// window messages, real time, SDL message boxes. The window shows the picture
// at an integer scale; pointer positions are mapped back to picture pixels.
#include <SDL.h>

#include <cstdlib>
#include <ctime>

#include "platform/win/backend.h"
#include "platform/win/controls/control_input.h"
#include "platform/win/sdl2/display_loss.h"
#include "platform/win/sdl2/sdl2_joystick.h"
#include "platform/win/sdl2/sdl2_keymap.h"
#include "platform/win/sdl2/sdl2_window.h"

namespace {

struct Sdl2State {
    SDL_Window* window = nullptr;
    int scale = 1;
};

Sdl2State gSdl;

constexpr const char* NO_DISPLAY_ADVICE = "; run with --headless to use the program without a display";

// The desktop's display: Wayland where WAYLAND_DISPLAY names one, else X11
// where DISPLAY does. A driver is tried only when its variable is set, so no
// driver fills the terminal with complaints about a desktop that is not there,
// and the error says what was tried and how it failed. A driver named in
// SDL_VIDEODRIVER is the only one tried.
bool OpenDisplay(std::string* error) {
    if (const char* named = std::getenv("SDL_VIDEODRIVER")) {
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) {
            WatchDisplayConnection();
            return true;
        }
        *error = std::string("cannot open the display driver SDL_VIDEODRIVER=") + named + " (" + SDL_GetError() + ")" +
                 NO_DISPLAY_ADVICE;
        return false;
    }
    struct Candidate {
        const char* variable;
        const char* driver;
    };
    std::string tried;
    for (const Candidate& candidate : {Candidate{"WAYLAND_DISPLAY", "wayland"}, Candidate{"DISPLAY", "x11"}}) {
        const char* value = std::getenv(candidate.variable);
        if (!value || !*value) continue;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, candidate.driver);
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) {
            WatchDisplayConnection();
            return true;
        }
        tried += std::string(tried.empty() ? "" : "; ") + candidate.variable + "=" + value + ": no display server answers (" +
                 SDL_GetError() + ")";
    }
    *error = tried.empty() ? "no desktop display found: neither DISPLAY nor WAYLAND_DISPLAY is set"
                           : "cannot open the desktop display (" + tried + ")";
    *error += NO_DISPLAY_ADVICE;
    return false;
}

bool Open(const PlatformOptions& options, std::string* error) {
    gSdl = Sdl2State{};
    gSdl.scale = options.windowScale;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    return OpenDisplay(error);
}

void DestroyDesktopWindow() {
    DetachPresenter();
    if (gSdl.window) SDL_DestroyWindow(gSdl.window);
    gSdl.window = nullptr;
}

void Close() {
    ForgetNativeWindows();
    DestroyDesktopWindow();
    Sdl2CloseJoysticks();
    SDL_Quit();
}

bool CreateDesktopWindow(int x, int y, int width, int height, const char* titleUtf8, bool captioned) {
    const Uint32 flags = SDL_WINDOW_SHOWN | (captioned ? 0 : SDL_WINDOW_BORDERLESS);
    gSdl.window = SDL_CreateWindow(titleUtf8, x * gSdl.scale, y * gSdl.scale, width * gSdl.scale,
                                   height * gSdl.scale, flags);
    if (!gSdl.window) return false;
    AttachPresenter(gSdl.window);
    return true;
}

void SetTitle(const char* titleUtf8) {
    if (gSdl.window) SDL_SetWindowTitle(gSdl.window, titleUtf8);
}

void SetIcon(int width, int height, const uint32_t* argb) {
    if (!gSdl.window) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height, 32, width * 4,
                                                           SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(gSdl.window, icon);
    SDL_FreeSurface(icon);
}

void SetFrame(int x, int y, int width, int height, bool captioned) {
    if (!gSdl.window) return;
    SDL_SetWindowBordered(gSdl.window, captioned ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowSize(gSdl.window, width * gSdl.scale, height * gSdl.scale);
    SDL_SetWindowPosition(gSdl.window, x * gSdl.scale, y * gSdl.scale);
}

void DesktopSize(int* width, int* height) {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) mode.w = 640, mode.h = 480;
    *width = mode.w / gSdl.scale;
    *height = mode.h / gSdl.scale;
}

void TranslateKey(const SDL_KeyboardEvent& key) {
    const int code = VirtualKeyFromScancode(key.keysym.scancode);
    if (code == 0) return;
    const bool down = key.state == SDL_PRESSED;
    const int generic = GenericModifierKey(code);
    SetKeyDown(code, down);
    if (generic) {
        const int left = generic == VK_SHIFT ? VK_LSHIFT : generic == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
        SetKeyDown(generic, IsKeyDown(left) || IsKeyDown(left + 1));
    }
    const int reported = generic ? generic : code;
    const bool system = (key.keysym.mod & KMOD_ALT) != 0 || reported == VK_MENU || reported == VK_F1 + 9;
    const LPARAM flags = down ? (key.repeat ? 0x40000001 : 1) : static_cast<LPARAM>(0xC0000001u);
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostDesktopMessage(message, static_cast<WPARAM>(reported), flags);
}

void TranslateButton(const SDL_MouseButtonEvent& button) {
    const bool down = button.state == SDL_PRESSED;
    const POINT at = PicturePoint(button.x, button.y);
    SetPointerClientPosition(at.x, at.y);
    const LPARAM where = MAKELPARAM(PointerClientPosition().x, PointerClientPosition().y);
    if (button.button == SDL_BUTTON_LEFT) {
        SetKeyDown(VK_LBUTTON, down);
        PostDesktopMessage(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? 1 : 0, where);
    } else if (button.button == SDL_BUTTON_RIGHT) {
        SetKeyDown(VK_RBUTTON, down);
        PostDesktopMessage(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, down ? 2 : 0, where);
    } else if (button.button == SDL_BUTTON_MIDDLE) {
        SetKeyDown(VK_MBUTTON, down);
    }
}

void TranslateWindowEvent(const SDL_WindowEvent& w) {
    switch (w.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: PostDesktopMessage(WM_ACTIVATE, WA_ACTIVE, 0); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: PostDesktopMessage(WM_ACTIVATE, WA_INACTIVE, 0); break;
        case SDL_WINDOWEVENT_MINIMIZED: PostDesktopMessage(WM_SIZE, SIZE_MINIMIZED, 0); break;
        case SDL_WINDOWEVENT_MAXIMIZED: PostDesktopMessage(WM_SIZE, SIZE_MAXIMIZED, 0); break;
        case SDL_WINDOWEVENT_RESTORED: PostDesktopMessage(WM_SIZE, SIZE_RESTORED, 0); break;
        case SDL_WINDOWEVENT_EXPOSED:
            InvalidatePresentedPicture();
            PostDesktopMessage(WM_PAINT, 0, 0);
            break;
        case SDL_WINDOWEVENT_MOVED: {
            const int x = w.data1 / gSdl.scale, y = w.data2 / gSdl.scale;
            SetMainWindowOrigin(x, y);
            PostDesktopMessage(WM_MOVE, 0, MAKELPARAM(x, y));
            break;
        }
        default: break;
    }
}

void Translate(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT: PostDesktopMessage(WM_CLOSE, 0, 0); break;
        case SDL_WINDOWEVENT: TranslateWindowEvent(e.window); break;
        case SDL_KEYDOWN: case SDL_KEYUP: TranslateKey(e.key); break;
        case SDL_MOUSEMOTION: {
            const POINT at = PicturePoint(e.motion.x, e.motion.y);
            SetPointerClientPosition(at.x, at.y);
            break;
        }
        case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: TranslateButton(e.button); break;
        case SDL_MOUSEWHEEL:
            PostWheel((e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y) * WHEEL_DELTA);
            break;
        case SDL_TEXTINPUT:
            SetComposition("");
            PostTypedText(e.text.text);
            break;
        case SDL_TEXTEDITING: SetComposition(e.edit.text); break;
        default: break;
    }
}

// The display went away: everything that needs it stops, and the program is
// asked to close as when its window is closed.
void GoOnWithoutDisplay() {
    ReplaceBackend(DisplayLostBackend(SDL2_BACKEND));
    PostDesktopMessage(WM_CLOSE, 0, 0);
}

void PollEvents() {
    const bool connected = RunWithDisplay([] {
        SDL_Event e;
        while (SDL_PollEvent(&e)) Translate(e);
    });
    if (!connected) GoOnWithoutDisplay();
}

void WaitEvents() {
    if (!RunWithDisplay([] { SDL_WaitEventTimeout(nullptr, 250); })) GoOnWithoutDisplay();
}

const PixelBuffer* gPictureToPresent = nullptr;

void PresentPicture(const PixelBuffer& picture) {
    gPictureToPresent = &picture;
    if (!RunWithDisplay([] { Sdl2PresentPicture(*gPictureToPresent); })) GoOnWithoutDisplay();
}

void QueueDrained() {}

uint32_t Ticks() { return SDL_GetTicks(); }

void SleepFor(uint32_t milliseconds) { SDL_Delay(milliseconds); }

void LocalTime(SYSTEMTIME* out) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm t{};
    localtime_r(&now.tv_sec, &t);
    *out = SYSTEMTIME{static_cast<WORD>(t.tm_year + 1900), static_cast<WORD>(t.tm_mon + 1),
                      static_cast<WORD>(t.tm_wday),        static_cast<WORD>(t.tm_mday),
                      static_cast<WORD>(t.tm_hour),        static_cast<WORD>(t.tm_min),
                      static_cast<WORD>(t.tm_sec),         static_cast<WORD>(now.tv_nsec / 1000000)};
}

int64_t CalendarTime() { return static_cast<int64_t>(time(nullptr)); }

void WarpCursor(int x, int y) {
    const POINT at = WindowPoint(x, y);
    if (gSdl.window) SDL_WarpMouseInWindow(gSdl.window, at.x, at.y);
}

void ShowCursorState(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void ConfineCursor(const RECT* rect) {
    if (gSdl.window) SDL_SetWindowGrab(gSdl.window, rect ? SDL_TRUE : SDL_FALSE);
}

bool EnableTextInput(bool enable) {
    const bool previous = SDL_IsTextInputActive() == SDL_TRUE;
    if (enable) SDL_StartTextInput();
    else SDL_StopTextInput();
    return previous;
}

void SetClipboard(const char* utf8) { SDL_SetClipboardText(utf8); }

std::string Clipboard() {
    char* text = SDL_GetClipboardText();
    std::string copy = text ? text : "";
    SDL_free(text);
    return copy;
}

int MessageBox(const char* textUtf8, const char* captionUtf8, UINT type) {
    return ShowSdlMessageBox(gSdl.window, textUtf8, captionUtf8, type);
}

}  // namespace

const WinBackend SDL2_BACKEND = {
    .name = "sdl2",
    .open = Open,
    .close = Close,
    .createWindow = CreateDesktopWindow,
    .destroyWindow = DestroyDesktopWindow,
    .setWindowTitle = SetTitle,
    .setWindowIcon = SetIcon,
    .setWindowFrame = SetFrame,
    .desktopSize = DesktopSize,
    .nativeWindowRect = Sdl2NativeWindowRect,
    .drawIntoNativeWindow = Sdl2DrawIntoNativeWindow,
    .pollEvents = PollEvents,
    .waitEvents = WaitEvents,
    .queueDrained = QueueDrained,
    .ticks = Ticks,
    .sleep = SleepFor,
    .localTime = LocalTime,
    .calendarTime = CalendarTime,
    .warpCursor = WarpCursor,
    .showCursor = ShowCursorState,
    .confineCursor = ConfineCursor,
    .enableTextInput = EnableTextInput,
    .setClipboardText = SetClipboard,
    .clipboardText = Clipboard,
    .messageBox = MessageBox,
    .setDisplayMode = Sdl2SetDisplayMode,
    .presentPicture = PresentPicture,
    .joystickIds = Sdl2JoystickIds,
    .describeJoystick = Sdl2DescribeJoystick,
    .readJoystick = Sdl2ReadJoystick,
};
