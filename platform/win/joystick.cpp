// The multimedia joystick calls: capabilities and positions in the records the
// callers size, filled from the backend's description and reading of a
// device. Without a driver there are no ids; an id without a device is unplugged.
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/win/backend.h"

namespace {

constexpr UINT MAX_JOYSTICK_IDS = 16;
constexpr UINT AXIS_MAX = 65535;
constexpr UINT POLL_PERIOD_MIN = 10, POLL_PERIOD_MAX = 1000;  // milliseconds

bool Describe(uintptr_t id, JoystickDevice* device) {
    if (id >= std::min<UINT>(joyGetNumDevs(), MAX_JOYSTICK_IDS)) return false;
    *device = JoystickDevice{};
    return Backend().describeJoystick(static_cast<int>(id), device);
}

MMRESULT Read(UINT id, JoystickReading* reading) {
    if (joyGetNumDevs() == 0) return MMSYSERR_NODRIVER;
    if (id >= std::min<UINT>(joyGetNumDevs(), MAX_JOYSTICK_IDS)) return JOYERR_PARMS;
    *reading = JoystickReading{};
    return Backend().readJoystick(static_cast<int>(id), reading) ? JOYERR_NOERROR : JOYERR_UNPLUGGED;
}

}  // namespace

UINT joyGetNumDevs() { return static_cast<UINT>(std::max(0, Backend().joystickIds())); }

MMRESULT joyGetDevCapsA(uintptr_t id, JOYCAPSA* caps, UINT size) {
    if (joyGetNumDevs() == 0) return MMSYSERR_NODRIVER;
    if (!caps || size < sizeof(JOYCAPSA)) return JOYERR_PARMS;
    JoystickDevice device;
    if (!Describe(id, &device)) return JOYERR_PARMS;
    *caps = JOYCAPSA{};
    caps->wMid = device.vendor;
    caps->wPid = device.product;
    std::memcpy(caps->szPname, device.name, sizeof(caps->szPname));
    caps->szPname[sizeof(caps->szPname) - 1] = '\0';
    caps->wXmax = caps->wYmax = caps->wZmax = caps->wRmax = caps->wUmax = caps->wVmax = AXIS_MAX;
    caps->wNumButtons = static_cast<UINT>(std::min(device.buttonCount, 32));
    caps->wMaxButtons = 32;
    caps->wPeriodMin = POLL_PERIOD_MIN;
    caps->wPeriodMax = POLL_PERIOD_MAX;
    caps->wNumAxes = static_cast<UINT>(std::clamp(device.axisCount, 0, 6));
    caps->wMaxAxes = 6;
    const UINT axisCaps[4] = {JOYCAPS_HASZ, JOYCAPS_HASR, JOYCAPS_HASU, JOYCAPS_HASV};
    for (UINT axis = 2; axis < caps->wNumAxes; ++axis) caps->wCaps |= axisCaps[axis - 2];
    if (device.hasPov) caps->wCaps |= JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
    return JOYERR_NOERROR;
}

MMRESULT joyGetPos(UINT id, JOYINFO* info) {
    if (!info) return JOYERR_PARMS;
    JoystickReading reading;
    const MMRESULT result = Read(id, &reading);
    if (result != JOYERR_NOERROR) return result;
    *info = JOYINFO{reading.axes[0], reading.axes[1], reading.axes[2], reading.buttons & 0xF};
    return JOYERR_NOERROR;
}

MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info) {
    if (!info || info->dwSize != sizeof(JOYINFOEX)) return JOYERR_PARMS;
    JoystickReading reading;
    const MMRESULT result = Read(id, &reading);
    if (result != JOYERR_NOERROR) return result;
    // Only the fields the flags ask for are written.
    DWORD* axes[6] = {&info->dwXpos, &info->dwYpos, &info->dwZpos, &info->dwRpos, &info->dwUpos, &info->dwVpos};
    for (int axis = 0; axis < 6; ++axis)
        if (info->dwFlags & (JOY_RETURNX << axis)) *axes[axis] = std::min(reading.axes[axis], AXIS_MAX);
    if (info->dwFlags & JOY_RETURNPOV) info->dwPOV = reading.pov;
    if (info->dwFlags & JOY_RETURNBUTTONS) {
        info->dwButtons = reading.buttons;
        info->dwButtonNumber = static_cast<DWORD>(std::popcount(reading.buttons));
    }
    return JOYERR_NOERROR;
}
