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
// Joysticks: detection at start-up and the frame loop's poll.
void InitJoysticks();
void PollJoysticks();
// The frame loop's input step: joysticks, then the mouse, when enabled.
void PollInput();
