// Keys and mouse buttons with press/release edges, and the pointer position.
#pragma once

#include <cstdint>

enum KeyEdge : uint8_t { KEY_UP = 0, KEY_RELEASED = 1, KEY_PRESSED = 2, KEY_HELD = 3 };

// The four-state edge tracker every digital input goes through.
uint8_t UpdateEdgeState(bool down, uint8_t state);

int KeyState(int virtualKey);
int AnyInput(int mouseFlag);
void EnableMouse(int enable);
void PollMouse();
int MouseX();
int MouseY();
void SetMousePos(int x, int y);
int ShowMouseCursor(int show);
void ClipMouseToWindow(int clip);
// Joysticks (joystick.cpp): up to eight, reduced to four directions and eight
// buttons, each an edge byte.
constexpr int MAX_JOYSTICKS = 8;
constexpr uint32_t JOYSTICK_UP = 0x80000001u;
constexpr uint32_t JOYSTICK_DOWN = 0x80000002u;
constexpr uint32_t JOYSTICK_LEFT = 0x80000003u;
constexpr uint32_t JOYSTICK_RIGHT = 0x80000004u;

struct JoystickRecord {
    int32_t present;
    uint8_t up, down, left, right;
    uint8_t buttons[8];
};

extern JoystickRecord gJoysticks[MAX_JOYSTICKS];
extern int gJoystickCount;

// Detection at start-up and the frame loop's poll.
void InitJoysticks();
void PollJoysticks();
// Moves a record's edges by one reading: axes 0..65535 and the button mask.
void UpdateJoystickRecord(JoystickRecord* record, uint32_t x, uint32_t y, uint32_t buttons);
int EnableJoystick(int enable);
void ClearJoystick(int index);
// The edge byte of a direction (JOYSTICK_UP..JOYSTICK_RIGHT) or of button b (code 1 << b).
int JoystickState(int index, uint32_t code);
// The frame loop's input step: joysticks, then the mouse, when enabled.
void PollInput();
