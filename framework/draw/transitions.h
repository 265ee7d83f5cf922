// Screen transitions: a dot dissolve, vertical and horizontal blinds, and
// graded sweeps from the right and from the top. Each step draws the cover
// over the back buffer for one frame and returns 1 once the end is reached.
// A nonzero reveal moves towards uncovered; a slot of -1 covers with the
// colour, any other slot with its own pixels at the same screen positions.
#pragma once

#include <cstdint>

constexpr int DISSOLVE_STEPS = 20;
constexpr int BLINDS_STEPS = 16;
constexpr int SWEEP_X_STEPS = 64;
constexpr int SWEEP_Y_STEPS = 48;

// The dissolve's progress is gApp.fadeLevel: 0 fully covered, 20 uncovered.
void ResetDissolve(int reveal);
int StepDissolve(int reveal, uint32_t color);

// Blinds and sweeps count the other way: 0 uncovered, the maximum covered.
void ResetBlinds(int reveal);
int StepBlindsX(int reveal, uint32_t color, int slot);
int StepBlindsY(int reveal, uint32_t color, int slot);
void ResetSweeps(int reveal);
int StepSweepX(int reveal, uint32_t color, int slot);
int StepSweepY(int reveal, uint32_t color, int slot);
