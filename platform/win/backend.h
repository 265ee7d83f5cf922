// The record a desktop backend fills in: one constant table of operations,
// chosen once when the platform opens. Shared code (queue, windows, key state)
// calls through it and never names SDL or the script.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/platform.h"
#include "platform/win/win.h"

struct PixelBuffer;

// A joystick as its backend describes it, and one reading of it.
struct JoystickDevice {
    char name[32];
    uint16_t vendor, product;
    int axisCount;  // up to 6: X, Y, Z, R, U, V
    int buttonCount;
    bool hasPov;
};

struct JoystickReading {
    uint32_t axes[6];  // X, Y, Z, R, U, V in 0..65535, centre 32768
    uint32_t buttons;  // bit b: button b is down
    uint32_t pov;      // hundredths of a degree clockwise from forward, JOY_POVCENTERED when centred
};

struct WinBackend {
    const char* name;
    bool (*open)(const PlatformOptions& options, std::string* error);
    void (*close)();

    // The one desktop window, in picture pixels.
    bool (*createWindow)(int x, int y, int width, int height, const char* titleUtf8, bool captioned);
    void (*destroyWindow)();
    void (*setWindowTitle)(const char* titleUtf8);
    // The window's icon: width x height pixels 0xAARRGGBB.
    void (*setWindowIcon)(int width, int height, const uint32_t* argb);
    void (*setWindowFrame)(int x, int y, int width, int height, bool captioned);
    void (*desktopSize)(int* width, int* height);
    // The outer rectangle of another program's window, by native id.
    bool (*nativeWindowRect)(uint64_t id, RECT* rect);
    // Shows 32-bit pixels at (x, y) inside another program's window.
    void (*drawIntoNativeWindow)(uint64_t id, int x, int y, const PixelBuffer& pixels);

    // Desktop events become posted messages and key/cursor state changes.
    // pollEvents never blocks; waitEvents blocks until something arrived.
    void (*pollEvents)();
    void (*waitEvents)();
    // Called when the message queue was found empty: one frame's input is done.
    void (*queueDrained)();

    uint32_t (*ticks)();
    void (*sleep)(uint32_t milliseconds);
    void (*localTime)(SYSTEMTIME* time);
    int64_t (*calendarTime)();  // seconds since 1970

    void (*warpCursor)(int screenX, int screenY);
    void (*showCursor)(bool show);
    void (*confineCursor)(const RECT* screenRect);
    bool (*enableTextInput)(bool enable);
    // The desktop's clipboard text, UTF-8.
    void (*setClipboardText)(const char* utf8);
    std::string (*clipboardText)();

    int (*messageBox)(const char* textUtf8, const char* captionUtf8, UINT type);

    // The display: the mode a program set (full screen) or the desktop's, and
    // the primary surface's pixels each time they change (8-bit pictures carry
    // their palette).
    void (*setDisplayMode)(int width, int height, int bitsPerPixel, bool fullScreen);
    void (*presentPicture)(const PixelBuffer& picture);

    // Joysticks: how many ids the driver serves (0: there is no driver), and
    // the device at an id and its state; false when no device answers there.
    int (*joystickIds)();
    bool (*describeJoystick)(int id, JoystickDevice* device);
    bool (*readJoystick)(int id, JoystickReading* reading);
};

extern const WinBackend SDL2_BACKEND;
extern const WinBackend HEADLESS_BACKEND;

// The backend in use; valid between PlatformOpen and PlatformClose.
const WinBackend& Backend();
// The backend carries on with another table (its display went away).
void ReplaceBackend(const WinBackend& backend);

// The display shows a mode: in full screen the desktop is the mode's size and
// the main window covers it, as an exclusive full-screen window does.
void ShowDisplayMode(int width, int height, int bitsPerPixel, bool fullScreen);

// Called by backends: a desktop event for the main window.
void PostDesktopMessage(UINT message, WPARAM wParam, LPARAM lParam);
void SetKeyDown(int virtualKey, bool down);
// The message queue was emptied: the input of one frame is complete.
void EndInputFrame();
bool IsKeyDown(int virtualKey);
// The pointer moved to (x, y) in client pixels of the main window.
void SetPointerClientPosition(int x, int y);
POINT PointerClientPosition();
// The main window's client origin on the (virtual) desktop.
POINT MainWindowClientOrigin();
void SetMainWindowOrigin(int x, int y);
