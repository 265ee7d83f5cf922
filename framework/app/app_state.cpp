// The framework state record, the sine table and the setters an application
// calls at any time.
#include <cmath>
#include <cstring>

#include "framework/app/app.h"
#include "framework/app/random.h"

AppState gApp;
int32_t gSinTable[SIN_TABLE_SIZE];

namespace {

constexpr double PI = 3.14159265358979323846;

// Entry i is sin(i degrees) x 360, truncated toward zero (30 degrees gives 179).
void FillSinTable() {
    for (int i = 0; i < SIN_TABLE_SIZE; ++i) gSinTable[i] = static_cast<int32_t>(std::sin(i * 2 * PI / 360) * 360);
}

}  // namespace

void InitFrameworkState() {
    std::memset(&gApp, 0, sizeof(gApp));
    gApp.hInstance = GetModuleHandleA(nullptr);
    gApp.enable3D = gAppConfig.device3D >= 0;
    FillSinTable();
}

int SetFrameProc(FrameProc proc) {
    if (!proc) return 0;
    gApp.frameProc = proc;
    return 1;
}

void SetExitProc(ExitProc proc) { gApp.exitProc = proc; }

int SetQuitKey(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 256) return 0;
    gApp.quitKey = static_cast<uint16_t>(virtualKey & 0xFFFF);
    return 1;
}

void SetWindowTitle(const char* title) { SetWindowTextA(gApp.hWnd, title); }

int EnableIme(int enable) { return WINNLSEnableIME(nullptr, enable); }

int IsActive() { return gApp.active; }

void RequestQuit() {
    gApp.quitting = 1;
    SendMessageA(gApp.hWnd, WM_CLOSE, 0, 0);
}

int Random(int n) {
    // rand() x (n + 1) / 32767: 0..n, and n + 1 only when rand() gives 32767.
    const int64_t product = static_cast<int64_t>(NextRandom()) * (static_cast<int64_t>(n) + 1);
    return static_cast<int>(product / 32767);
}
