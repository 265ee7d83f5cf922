// Joysticks: the ids that answer at start-up, polled once per frame into
// direction and button edges. The thresholds sit below and just above the
// centre, so a pull needs 4096 of travel and a push any at all.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"
#include "framework/input/input.h"

JoystickRecord gJoysticks[MAX_JOYSTICKS];
int gJoystickCount = 0;

namespace {

constexpr uint32_t AXIS_LOW = 28672;   // below: up or left
constexpr uint32_t AXIS_HIGH = 32768;  // above: down or right
constexpr uint32_t AXIS_CENTRE = 32768;

}  // namespace

void InitJoysticks() {
    if (joyGetNumDevs() == 0) return;
    int count = 0;
    while (count < MAX_JOYSTICKS) {
        JOYCAPSA caps{};
        JOYINFO position{};
        const UINT id = static_cast<UINT>(count);
        if (joyGetDevCapsA(id, &caps, sizeof(caps)) != JOYERR_NOERROR || joyGetPos(id, &position) != JOYERR_NOERROR)
            break;
        gJoysticks[count++].present = 1;
    }
    gJoystickCount = count;
    DebugLog("%d個のジョイスティックが使用可能です\n", count);
}

void UpdateJoystickRecord(JoystickRecord* record, uint32_t x, uint32_t y, uint32_t buttons) {
    record->up = UpdateEdgeState(y < AXIS_LOW, record->up);
    record->down = UpdateEdgeState(y > AXIS_HIGH, record->down);
    record->left = UpdateEdgeState(x < AXIS_LOW, record->left);
    record->right = UpdateEdgeState(x > AXIS_HIGH, record->right);
    for (int b = 0; b < 8; ++b) record->buttons[b] = UpdateEdgeState((buttons >> b) & 1, record->buttons[b]);
}

void PollJoysticks() {
    for (int i = 0; i < gJoystickCount && gJoysticks[i].present; ++i) {
        JOYINFOEX info{};
        info.dwSize = sizeof(info);
        info.dwFlags = JOY_RETURNALL;
        // A device that does not answer reads as centred with no buttons down.
        if (joyGetPosEx(static_cast<UINT>(i), &info) != JOYERR_NOERROR) {
            info.dwXpos = info.dwYpos = AXIS_CENTRE;
            info.dwButtons = 0;
        }
        UpdateJoystickRecord(&gJoysticks[i], info.dwXpos, info.dwYpos, info.dwButtons);
    }
}

int EnableJoystick(int enable) {
    gApp.joystickEnabled = enable;
    if (!enable)
        for (int i = 0; i < gJoystickCount; ++i) ClearJoystick(i);
    return gJoystickCount;
}

void ClearJoystick(int index) {
    if (index < 0 || index >= MAX_JOYSTICKS) return;
    JoystickRecord& r = gJoysticks[index];
    r.up = r.down = r.left = r.right = KEY_UP;
    for (uint8_t& b : r.buttons) b = KEY_UP;
}

int JoystickState(int index, uint32_t code) {
    if (index < 0 || index >= gJoystickCount || !gJoysticks[index].present) return 0;
    const JoystickRecord& r = gJoysticks[index];
    switch (code) {
        case JOYSTICK_UP: return r.up;
        case JOYSTICK_DOWN: return r.down;
        case JOYSTICK_LEFT: return r.left;
        case JOYSTICK_RIGHT: return r.right;
        default: break;
    }
    for (int b = 0; b < 8; ++b)
        if (code == 1u << b) return r.buttons[b];
    return 0;
}
