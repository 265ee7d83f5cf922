// The display record's lifetime: constructed empty before the program runs,
// and releasing the palette, the surfaces and the device after it ends.
#include "framework/display/display.h"
#include "platform/win/platform.h"

DisplayState::DisplayState() = default;

DisplayState::~DisplayState() {
    if (PlatformIsOpen()) ShutdownDisplay();
}
