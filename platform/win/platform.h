// The platform layer's own entry points: command-line options, choosing and
// opening a backend, Shift-JIS conversion for the desktop, and the controls
// that tests use on the headless backend.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/win.h"

struct PlatformOptions {
    std::string backend = "sdl2";   // "sdl2" or "headless"
    std::string scriptPath;         // headless input script
    std::string captureDir = ".";   // where scripted captures are written
    std::string logPath;            // debug lines are appended here too
    int windowScale = 1;            // windowed presentation scale on the desktop
    bool startInWindow = false;     // a program configured for full screen starts in a window
    bool help = false;              // --help or -h: print the usage and do nothing else
    int desktopDepth = 16;          // bits per pixel the desktop reports
    int64_t maxFrames = -1;         // headless: close after this many frames (-1: never)
    uint32_t clockStart = 0;        // headless: first value of the virtual clock
    bool trace = false;             // log every window-system call served
    bool singleInstanceCheck = false;  // headless: honour the running-instance check
    std::string soundFontPath;      // MIDI SoundFont (empty: the system's General MIDI set)
    std::string cdImagePath;        // disc image the cdaudio device plays (empty: the drive)
    bool audioNone = false;         // --audio=none: mix against the clock, no audio output
    std::string audioOutPath;       // headless: the mix is also written to this WAVE file
    int dplayPort = 47624;          // first of the network session ports
    std::string dplaySearch;        // address the TCP/IP service searches without asking
    bool dplaySearchGiven = false;  // --dplay-search was given (an empty one searches the local network)
};

// Removes the platform options (those starting with "--", and -h) from
// argc/argv and returns them. On a malformed option it returns false and sets
// error.
bool ParsePlatformOptions(int* argc, char** argv, PlatformOptions* options, std::string* error);

// The platform options and their meanings, one line each, for a usage text.
const char* PlatformOptionsHelp();

// Opens the chosen backend; false with a reason when it cannot start.
bool PlatformOpen(const PlatformOptions& options, std::string* error);
void PlatformClose();
bool PlatformIsOpen();
const PlatformOptions& GetPlatformOptions();

// The program's arguments after the platform options were removed.
void SetProgramArguments(int argc, char** argv);
const std::vector<std::string>& GetProgramArguments();

// A window of another program, by its native id (an X11 window on the
// desktop), as a parent for child windows; null when there is none.
HWND WindowFromNativeId(uint64_t id);

// A path in the system's form ('\' or '/' between folders) as this machine
// names the file, and a machine path in the system's form.
std::string NativePath(const char* systemPath);
// Sets the thread's last error from a failed system call's errno.
void SetLastErrorFromErrno(int error);
std::string SystemPath(const std::string& nativePath);

// Shift-JIS (code page 932) to UTF-8; undecodable bytes become U+FFFD.
std::string ShiftJisToUtf8(const char* text);

// The calendar time in seconds since 1970 (time(NULL) on the desktop).
int64_t PlatformCalendarTime();

// Records one served call in the trace when tracing is on.
void TraceCall(const char* name);

// Headless controls for tests: the virtual clock and the frame counter.
void HeadlessSetClock(uint32_t milliseconds);
uint32_t HeadlessFrameNumber();
