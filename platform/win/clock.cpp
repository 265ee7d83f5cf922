// The millisecond clock, sleeping and the local time, from the backend: real
// time on the desktop, a virtual clock on the headless backend.
#include "platform/win/backend.h"
#include "platform/win/threads.h"

DWORD timeGetTime() { return Backend().ticks(); }

void Sleep(DWORD milliseconds) {
    if (!SleepAsVirtualWait(milliseconds)) Backend().sleep(milliseconds);
}

void GetLocalTime(SYSTEMTIME* time) {
    if (time) Backend().localTime(time);
}

BOOL WINNLSEnableIME(HWND, BOOL enable) { return Backend().enableTextInput(enable != 0) ? TRUE : FALSE; }

int64_t PlatformCalendarTime() { return Backend().calendarTime(); }
