// What the headless backend offers the other platform components: scripted
// frame captures and surface losses, and its frame counter.
#pragma once

#include <string>
#include <vector>

// File names (inside the capture folder) to write from the frame presented now.
std::vector<std::string> HeadlessTakeCaptureRequests();
// Registers what a scripted "lose-surfaces" does (the display component).
void HeadlessSetSurfaceLossHandler(void (*handler)());
