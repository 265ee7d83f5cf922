// Joysticks on SDL2. Ids are SDL device indices. A game controller reports
// left stick X/Y, triggers as Z, right stick as R (vertical) and U
// (horizontal), eight buttons A B X Y, shoulders, back, start; its D-pad is
// the point of view and also pushes X/Y to their ends, as digital pads did.
#include "platform/win/sdl2/sdl2_joystick.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int MAX_IDS = 16;
constexpr uint32_t AXIS_CENTRE = 32768, AXIS_END = 65535;

struct OpenedDevice {
    SDL_GameController* controller = nullptr;
    SDL_Joystick* joystick = nullptr;  // the controller's own, or a raw joystick
};

struct JoystickSystem {
    bool started = false;
    bool available = false;
    OpenedDevice devices[MAX_IDS];
};

JoystickSystem gJoysticks;

bool Start() {
    if (!gJoysticks.started) {
        gJoysticks.started = true;
        gJoysticks.available = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
    }
    return gJoysticks.available;
}

void Close(OpenedDevice& d) {
    if (d.controller) SDL_GameControllerClose(d.controller);
    else if (d.joystick) SDL_JoystickClose(d.joystick);
    d = OpenedDevice{};
}

// The device at an id, opened on first use and again after it was unplugged;
// null when none is attached there.
OpenedDevice* Open(int id) {
    if (!Start() || id < 0 || id >= MAX_IDS || id >= SDL_NumJoysticks()) return nullptr;
    OpenedDevice& d = gJoysticks.devices[id];
    if (d.joystick) {
        if (SDL_JoystickGetAttached(d.joystick)) return &d;
        Close(d);
    }
    if (SDL_IsGameController(id)) {
        d.controller = SDL_GameControllerOpen(id);
        d.joystick = d.controller ? SDL_GameControllerGetJoystick(d.controller) : nullptr;
    } else {
        d.joystick = SDL_JoystickOpen(id);
    }
    return d.joystick ? &d : nullptr;
}

uint32_t AxisValue(Sint16 value) { return static_cast<uint32_t>(value + 32768); }

uint32_t PovFromDirections(bool up, bool right, bool down, bool left) {
    if (up) return right ? 4500 : left ? 31500 : 0;
    if (down) return right ? 13500 : left ? 22500 : 18000;
    if (right) return 9000;
    if (left) return 27000;
    return JOY_POVCENTERED;
}

void ReadController(SDL_GameController* c, JoystickReading* r) {
    const auto axis = [c](SDL_GameControllerAxis a) { return SDL_GameControllerGetAxis(c, a); };
    const auto pressed = [c](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(c, b) != 0; };
    r->axes[0] = AxisValue(axis(SDL_CONTROLLER_AXIS_LEFTX));
    r->axes[1] = AxisValue(axis(SDL_CONTROLLER_AXIS_LEFTY));
    // Triggers rest at 0 and press to 32767: left raises Z, right lowers it.
    r->axes[2] = static_cast<uint32_t>(
        std::clamp<int>(32768 + axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT) - axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT), 0, 65535));
    r->axes[3] = AxisValue(axis(SDL_CONTROLLER_AXIS_RIGHTY));
    r->axes[4] = AxisValue(axis(SDL_CONTROLLER_AXIS_RIGHTX));
    r->axes[5] = AXIS_CENTRE;
    const SDL_GameControllerButton order[] = {
        SDL_CONTROLLER_BUTTON_A,           SDL_CONTROLLER_BUTTON_B,  SDL_CONTROLLER_BUTTON_X,
        SDL_CONTROLLER_BUTTON_Y,           SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
        SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_START,
        SDL_CONTROLLER_BUTTON_LEFTSTICK,   SDL_CONTROLLER_BUTTON_RIGHTSTICK};
    for (int b = 0; b < static_cast<int>(std::size(order)); ++b)
        if (pressed(order[b])) r->buttons |= 1u << b;
    const bool up = pressed(SDL_CONTROLLER_BUTTON_DPAD_UP), down = pressed(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    const bool left = pressed(SDL_CONTROLLER_BUTTON_DPAD_LEFT), right = pressed(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    r->pov = PovFromDirections(up, right, down, left);
    if (left != right) r->axes[0] = left ? 0 : AXIS_END;
    if (up != down) r->axes[1] = up ? 0 : AXIS_END;
}

void ReadJoystick(SDL_Joystick* j, JoystickReading* r) {
    const int axes = std::min(SDL_JoystickNumAxes(j), 6);
    for (int a = 0; a < 6; ++a) r->axes[a] = a < axes ? AxisValue(SDL_JoystickGetAxis(j, a)) : AXIS_CENTRE;
    const int buttons = std::min(SDL_JoystickNumButtons(j), 32);
    for (int b = 0; b < buttons; ++b)
        if (SDL_JoystickGetButton(j, b)) r->buttons |= 1u << b;
    const Uint8 hat = SDL_JoystickNumHats(j) > 0 ? SDL_JoystickGetHat(j, 0) : SDL_HAT_CENTERED;
    r->pov = PovFromDirections(hat & SDL_HAT_UP, hat & SDL_HAT_RIGHT, hat & SDL_HAT_DOWN, hat & SDL_HAT_LEFT);
}

}  // namespace

int Sdl2JoystickIds() { return Start() ? MAX_IDS : 0; }

bool Sdl2DescribeJoystick(int id, JoystickDevice* device) {
    OpenedDevice* d = Open(id);
    if (!d) return false;
    const char* name = d->controller ? SDL_GameControllerName(d->controller) : SDL_JoystickName(d->joystick);
    std::snprintf(device->name, sizeof(device->name), "%s", name ? name : "");
    device->vendor = SDL_JoystickGetVendor(d->joystick);
    device->product = SDL_JoystickGetProduct(d->joystick);
    device->axisCount = d->controller ? 5 : std::min(SDL_JoystickNumAxes(d->joystick), 6);
    device->buttonCount = d->controller ? 10 : SDL_JoystickNumButtons(d->joystick);
    device->hasPov = d->controller || SDL_JoystickNumHats(d->joystick) > 0;
    return true;
}

bool Sdl2ReadJoystick(int id, JoystickReading* reading) {
    OpenedDevice* d = Open(id);
    if (!d) return false;
    SDL_JoystickUpdate();
    if (d->controller) ReadController(d->controller, reading);
    else ReadJoystick(d->joystick, reading);
    return true;
}

void Sdl2CloseJoysticks() {
    for (OpenedDevice& d : gJoysticks.devices) Close(d);
    if (gJoysticks.available) SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    gJoysticks = JoystickSystem{};
}
