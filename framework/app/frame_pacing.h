// Frame pacing against the millisecond clock, frame-rate setters, stopwatches
// and the time of day.
#pragma once

#include <cstdint>

// The pacer's state; it starts on the first frame, not at program start.
struct FramePacer {
    uint32_t frameBase = 0;
    uint32_t lastMeasure = 0;
    uint32_t measureCount = 0;
    uint32_t spreadCount = 0;
    bool firstFrame = true;
};

constexpr int STOPWATCH_COUNT = 3;

void SetFrameRate(int fps);
int SetFrameInterval(int milliseconds);
// Sleeps out the rest of the frame with the program's pacer.
void WaitNextFrame();
// The same step on a given pacer (used by WaitNextFrame and by tests).
void PaceFrame(FramePacer& pacer);
uint32_t Stopwatch(int index, int read);
void ResetStopwatches();
int32_t* GetTimeOfDay(int32_t hourMinuteSecond[3]);
// Prints the measured frame rate ("%.1f") at (x, y), never centred, and
// returns it.
float DrawFrameRate(int x, int y);
