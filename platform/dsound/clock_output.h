// Outputs that render the mix against a clock instead of a device.
#pragma once

#include <string>

// The headless backend's virtual clock: each advance renders exactly the
// frames of the time that passed; they are written to wavePath when given.
void OpenVirtualClockOutput(const std::string& wavePath);
void CloseVirtualClockOutput();

// The real-time clock, on a thread of its own, for a desktop without audio.
void OpenRealTimeClockOutput();
void CloseRealTimeClockOutput();
