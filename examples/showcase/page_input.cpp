// Input: key and mouse-button edge states, the pointer, and joysticks.
#include <iterator>

#include "examples/showcase/showcase.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/input/input.h"

namespace {

struct WatchedKey {
    const char* name;
    int code;
};

constexpr WatchedKey kKeys[] = {{"left button", VK_LBUTTON}, {"right button", VK_RBUTTON}, {"Up", VK_UP},
                                {"Down", VK_DOWN},           {"Z", 'Z'},                   {"X", 'X'},
                                {"Enter", VK_RETURN},        {"Shift", VK_SHIFT}};
const char* const kEdgeNames[] = {"up", "released", "pressed", "held"};

void InputFrame(int) {
    DrawBackdrop();
    PrintText(16, 36, "keys, as the program reads them:");
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        const int state = KeyState(kKeys[i].code);
        if (state >= KEY_PRESSED) DrawFilledRect(14, 58 + 20 * static_cast<int>(i), 300, 76 + 20 * static_cast<int>(i), RGB(40, 90, 160));
        PrintText(20, 60 + 20 * static_cast<int>(i), "%-14s %s", kKeys[i].name, kEdgeNames[state & 3]);
    }
    const int x = MouseX(), y = MouseY();
    PrintText(340, 36, "pointer: %d, %d", x, y);
    DrawLine(x - 12, y, x + 13, y, RGB(255, 255, 0));
    DrawLine(x, y - 12, x, y + 13, RGB(255, 255, 0));
    PrintText(340, 60, "joysticks:");
    for (int j = 0; j < 2; ++j) {
        PrintText(340, 84 + 24 * j, "%d: %s%s%s%s buttons %d%d%d%d", j,
                  JoystickState(j, JOYSTICK_UP) >= KEY_PRESSED ? "U" : "-",
                  JoystickState(j, JOYSTICK_DOWN) >= KEY_PRESSED ? "D" : "-",
                  JoystickState(j, JOYSTICK_LEFT) >= KEY_PRESSED ? "L" : "-",
                  JoystickState(j, JOYSTICK_RIGHT) >= KEY_PRESSED ? "R" : "-", JoystickState(j, 1) >> 1,
                  JoystickState(j, 2) >> 1, JoystickState(j, 4) >> 1, JoystickState(j, 8) >> 1);
    }
}

}  // namespace

const ShowcasePage kInputPage = {"Keys, mouse and joysticks", nullptr, InputFrame};
