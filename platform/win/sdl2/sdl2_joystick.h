// Joysticks of the SDL2 backend: game controllers with their standard layout,
// other joysticks by their raw axes, buttons and first hat. The joystick
// subsystem starts the first time a joystick is asked for.
#pragma once

#include "platform/win/backend.h"

int Sdl2JoystickIds();
bool Sdl2DescribeJoystick(int id, JoystickDevice* device);
bool Sdl2ReadJoystick(int id, JoystickReading* reading);
// Closes the opened devices and stops the subsystem.
void Sdl2CloseJoysticks();
