// The headless backend: no window, a virtual clock that Sleep advances without
// waiting, input from a script keyed by frame number, message boxes answered
// by the script. A frame ends each time the message queue is found empty.
#include "platform/win/headless/headless_backend.h"

#include <ctime>
#include <deque>
#include <fstream>
#include <sstream>

#include "platform/win/backend.h"
#include "platform/win/controls/control_input.h"
#include "platform/win/headless/headless_capture.h"
#include "platform/win/headless/input_script.h"
#include "platform/win/threads.h"

namespace {

constexpr int DESKTOP_WIDTH = 800;
constexpr int DESKTOP_HEIGHT = 600;
constexpr time_t LOCAL_TIME_BASE = 946728000;  // 2000-01-01 12:00:00, a fixed day for repeatable runs
constexpr int64_t FRAMES_TO_QUIT_AFTER_CLOSE = 60;

struct HeadlessState {
    uint32_t clock = 0;
    uint32_t clockStart = 0;
    int64_t frame = 0;
    bool delivered = false;
    bool advancePending = false;
    std::vector<ScriptEvent> events;
    size_t nextEvent = 0;
    std::deque<int> answers;
    std::vector<std::string> captures;
    int64_t maxFrames = -1;
    int64_t closeFrame = -1;  // frame at which the backend itself asked to close
    bool textInput = false;
    std::string clipboard;
    bool scripted = false;  // input comes from a script, which ends the run when it runs out
};

HeadlessState& gState = *new HeadlessState;  // outlives static destructors
void (*gSurfaceLossHandler)() = nullptr;
void (*gSoundLossHandler)() = nullptr;
void (*gClockListener)(uint32_t elapsed) = nullptr;

// Virtual time passes a millisecond at a time, and only while the program's
// own threads wait, so what they compute never depends on how fast the
// machine is and they answer the events of each millisecond in time.
void AdvanceClock(uint32_t milliseconds) {
    for (uint32_t i = 0; i < milliseconds; ++i) {
        WaitForIdleThreads();
        ++gState.clock;
        if (gClockListener) gClockListener(1);
        ExpireVirtualTimeouts(gState.clock);
    }
}

void PostKeyMessage(int key, bool down) {
    const bool wasDown = IsKeyDown(key);
    SetKeyDown(key, down);
    const POINT pointer = PointerClientPosition();
    const LPARAM at = MAKELPARAM(pointer.x, pointer.y);
    if (key == VK_LBUTTON) return PostDesktopMessage(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? 1 : 0, at);
    if (key == VK_RBUTTON) return PostDesktopMessage(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, down ? 2 : 0, at);
    if (key == VK_MBUTTON) return;
    // Keys typed while Alt is held (and Alt itself) are system keys.
    const bool system = IsKeyDown(VK_MENU) || key == VK_MENU;
    const LPARAM flags = down ? (wasDown ? 0x40000001 : 1) : static_cast<LPARAM>(0xC0000001u);
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostDesktopMessage(message, static_cast<WPARAM>(key), flags);
}

void Apply(const ScriptEvent& e) {
    using Kind = ScriptEvent::Kind;
    switch (e.kind) {
        case Kind::Move: SetPointerClientPosition(e.x, e.y); break;
        case Kind::Press: PostKeyMessage(e.key, true); break;
        case Kind::Release: PostKeyMessage(e.key, false); break;
        case Kind::Close: PostDesktopMessage(WM_CLOSE, 0, 0); break;
        case Kind::Activate: PostDesktopMessage(WM_ACTIVATE, WA_ACTIVE, 0); break;
        case Kind::Deactivate: PostDesktopMessage(WM_ACTIVATE, WA_INACTIVE, 0); break;
        case Kind::Minimize: PostDesktopMessage(WM_SIZE, SIZE_MINIMIZED, 0); break;
        case Kind::Restore: PostDesktopMessage(WM_SIZE, SIZE_RESTORED, 0); break;
        case Kind::Answer: gState.answers.push_back(e.answer); break;
        case Kind::Capture: gState.captures.push_back(e.file); break;
        case Kind::Stall: AdvanceClock(e.milliseconds); break;
        case Kind::Type: PostTypedText(e.text.c_str()); break;
        case Kind::Wheel: PostWheel(e.wheel * WHEEL_DELTA); break;
        case Kind::LoseSurfaces:
            if (gSurfaceLossHandler) gSurfaceLossHandler();
            break;
        case Kind::LoseSound:
            if (gSoundLossHandler) gSoundLossHandler();
            break;
    }
}

void RequestCloseOnce() {
    if (gState.closeFrame >= 0) return;
    gState.closeFrame = gState.frame;
    PostDesktopMessage(WM_CLOSE, 0, 0);
}

void DeliverCurrentFrame() {
    gState.captures.clear();
    const bool scriptDone = gState.scripted && gState.nextEvent == gState.events.size();
    while (gState.nextEvent < gState.events.size() && gState.events[gState.nextEvent].frame <= gState.frame)
        Apply(gState.events[gState.nextEvent++]);
    if (gState.maxFrames >= 0 && gState.frame >= gState.maxFrames) RequestCloseOnce();
    // The frame after the script's last command the program is asked to close.
    if (scriptDone) RequestCloseOnce();
    // A program that refuses to close after the backend asked is ended.
    if (gState.closeFrame >= 0 && gState.frame >= gState.closeFrame + FRAMES_TO_QUIT_AFTER_CLOSE) PostQuitMessage(0);
}

bool Open(const PlatformOptions& options, std::string* error) {
    gState = HeadlessState{};
    gState.clock = gState.clockStart = options.clockStart;
    gState.maxFrames = options.maxFrames;
    if (options.scriptPath.empty()) return true;
    gState.scripted = true;
    std::ifstream file(options.scriptPath, std::ios::binary);
    if (!file) {
        *error = "cannot read the input script '" + options.scriptPath + "'";
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string why;
    if (!ParseInputScript(text.str(), &gState.events, &why)) {
        *error = options.scriptPath + ": " + why;
        return false;
    }
    return true;
}

void Close() { gState = HeadlessState{}; }

bool CreateDesktopWindow(int, int, int, int, const char*, bool) { return true; }
void DestroyDesktopWindow() {}
void SetTitle(const char*) {}
void SetIcon(int, int, const uint32_t*) {}
void SetFrame(int, int, int, int, bool) {}

void DesktopSize(int* width, int* height) {
    *width = DESKTOP_WIDTH;
    *height = DESKTOP_HEIGHT;
}

// There are no other programs' windows here.
bool NativeWindowRect(uint64_t, RECT*) { return false; }
void DrawIntoNativeWindow(uint64_t, int, int, const PixelBuffer&) {}

void PollEvents() {
    if (gState.advancePending) {
        ++gState.frame;
        gState.advancePending = false;
        gState.delivered = false;
    }
    if (!gState.delivered) {
        gState.delivered = true;
        DeliverCurrentFrame();
    }
}

void QueueDrained() { gState.advancePending = gState.delivered; }

// Nothing is queued and the program sleeps until input: jump to the next frame
// that has script input; with none left, ask the program to close.
void WaitEvents() {
    if (gState.nextEvent < gState.events.size()) {
        gState.frame = std::max(gState.frame + 1, gState.events[gState.nextEvent].frame);
    } else if (gState.maxFrames >= 0 && gState.frame < gState.maxFrames) {
        gState.frame = gState.maxFrames;
    } else {
        RequestCloseOnce();
        gState.frame = std::max(gState.frame + 1, gState.closeFrame + FRAMES_TO_QUIT_AFTER_CLOSE);
    }
    gState.delivered = false;
    gState.advancePending = false;
}

uint32_t Ticks() { return gState.clock; }
void SleepFor(uint32_t milliseconds) { AdvanceClock(milliseconds); }

void LocalTime(SYSTEMTIME* out) {
    const time_t seconds = LOCAL_TIME_BASE + static_cast<time_t>((gState.clock - gState.clockStart) / 1000u);
    tm t{};
    gmtime_r(&seconds, &t);
    *out = SYSTEMTIME{static_cast<WORD>(t.tm_year + 1900), static_cast<WORD>(t.tm_mon + 1),
                      static_cast<WORD>(t.tm_wday),        static_cast<WORD>(t.tm_mday),
                      static_cast<WORD>(t.tm_hour),        static_cast<WORD>(t.tm_min),
                      static_cast<WORD>(t.tm_sec),         static_cast<WORD>((gState.clock - gState.clockStart) % 1000u)};
}

int64_t CalendarTime() { return LOCAL_TIME_BASE + (gState.clock - gState.clockStart) / 1000u; }

void WarpCursor(int x, int y) { SetPointerClientPosition(x, y); }
void ShowCursorNoop(bool) {}
void ConfineCursor(const RECT*) {}

bool EnableTextInput(bool enable) {
    const bool previous = gState.textInput;
    gState.textInput = enable;
    return previous;
}

void SetClipboard(const char* utf8) { gState.clipboard = utf8 ? utf8 : ""; }

std::string Clipboard() { return gState.clipboard; }

int MessageBox(const char*, const char*, UINT type) {
    if (!gState.answers.empty()) {
        const int answer = gState.answers.front();
        gState.answers.pop_front();
        return answer;
    }
    const UINT buttons = type & 0xF;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

// No joystick driver: programs find no ids to probe.
int JoystickIds() { return 0; }
bool NoJoystick(int, JoystickDevice*) { return false; }
bool NoJoystickReading(int, JoystickReading*) { return false; }

}  // namespace

const WinBackend HEADLESS_BACKEND = {
    .name = "headless",
    .open = Open,
    .close = Close,
    .createWindow = CreateDesktopWindow,
    .destroyWindow = DestroyDesktopWindow,
    .setWindowTitle = SetTitle,
    .setWindowIcon = SetIcon,
    .setWindowFrame = SetFrame,
    .desktopSize = DesktopSize,
    .nativeWindowRect = NativeWindowRect,
    .drawIntoNativeWindow = DrawIntoNativeWindow,
    .pollEvents = PollEvents,
    .waitEvents = WaitEvents,
    .queueDrained = QueueDrained,
    .ticks = Ticks,
    .sleep = SleepFor,
    .localTime = LocalTime,
    .calendarTime = CalendarTime,
    .warpCursor = WarpCursor,
    .showCursor = ShowCursorNoop,
    .confineCursor = ConfineCursor,
    .enableTextInput = EnableTextInput,
    .setClipboardText = SetClipboard,
    .clipboardText = Clipboard,
    .messageBox = MessageBox,
    .setDisplayMode = HeadlessSetDisplayMode,
    .presentPicture = HeadlessPresentPicture,
    .joystickIds = JoystickIds,
    .describeJoystick = NoJoystick,
    .readJoystick = NoJoystickReading,
};

std::vector<std::string> HeadlessTakeCaptureRequests() {
    std::vector<std::string> requests;
    requests.swap(gState.captures);
    return requests;
}

void HeadlessSetSurfaceLossHandler(void (*handler)()) { gSurfaceLossHandler = handler; }

void HeadlessSetSoundLossHandler(void (*handler)()) { gSoundLossHandler = handler; }

void HeadlessSetClockListener(void (*listener)(uint32_t elapsed)) { gClockListener = listener; }

void HeadlessSetClock(uint32_t milliseconds) { gState.clock = milliseconds; }

uint32_t HeadlessFrameNumber() { return static_cast<uint32_t>(gState.frame); }
