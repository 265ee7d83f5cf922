// What the headless backend offers the other platform components: scripted
// frame captures and surface losses, and its frame counter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// File names (inside the capture folder) to write from the frame presented now.
std::vector<std::string> HeadlessTakeCaptureRequests();
// Registers what a scripted "lose-surfaces" does (the display component).
void HeadlessSetSurfaceLossHandler(void (*handler)());
// Registers what a scripted "lose-sound" does (the sound device).
void HeadlessSetSoundLossHandler(void (*handler)());
// Registers the one listener told how many milliseconds each advance of the
// virtual clock covered (the sound device renders that time's samples).
void HeadlessSetClockListener(void (*listener)(uint32_t elapsed));
