// All times are unsigned 32-bit milliseconds from timeGetTime; differences are
// taken modulo 2^32, so the clock's wrap-around does not disturb the pacing.
#include "framework/app/frame_pacing.h"

#include "framework/app/app.h"
#include "framework/app/random.h"
#include "framework/draw/gdi_draw.h"
#include "platform/win/platform.h"

namespace {

FramePacer gFramePacer;
uint32_t gStopwatches[STOPWATCH_COUNT];

}  // namespace

void SetFrameRate(int fps) {
    if (fps < 2) fps = 2;
    if (fps > 100) fps = 100;
    gApp.frameRate = static_cast<uint32_t>(fps);
}

int SetFrameInterval(int milliseconds) {
    if (milliseconds > 500) milliseconds = 500;
    // No interval at all is taken as the shortest the clock can express.
    if (milliseconds < 1) milliseconds = 1;
    gApp.frameRate = static_cast<uint32_t>(1000 / milliseconds);
    return static_cast<int>(gApp.frameRate);
}

void PaceFrame(FramePacer& pacer) {
    if (pacer.firstFrame) {
        pacer.frameBase = timeGetTime();
        pacer.lastMeasure = pacer.frameBase;
    }
    const uint32_t rate = gApp.frameRate;
    const uint32_t base = 1000 / rate;
    const uint32_t extra = (1000 % rate) / 10;
    if (pacer.firstFrame) {
        pacer.firstFrame = false;
        gApp.measuredFrameRate = static_cast<float>(rate);
        SeedRandom(static_cast<uint32_t>(PlatformCalendarTime()));
    }
    const uint32_t now = timeGetTime();
    const uint32_t elapsed = now - pacer.frameBase;

    // Measure over frameRate / 2 frames as if they were half a second's worth.
    if (++pacer.measureCount == rate / 2) {
        const int32_t span = static_cast<int32_t>(now - pacer.lastMeasure);
        // With no time passed at all the previous figure stands.
        if (span != 0) gApp.measuredFrameRate = static_cast<float>(rate * 500.0 / span);
        pacer.lastMeasure = now;
        pacer.measureCount = 0;
    }

    // Spread the remainder of 1000 / frameRate over the second, about ten times.
    uint32_t interval = base;
    if (++pacer.spreadCount == rate / 10) {
        interval = base + extra;
        pacer.spreadCount = 0;
    }

    if (elapsed < interval) {
        Sleep(interval - elapsed);
        pacer.frameBase += interval;
    } else if (elapsed < 4 * interval) {
        pacer.frameBase += interval;  // late: run the next frames back to back
    } else {
        pacer.frameBase = now - interval;  // far behind: drop the backlog
    }
}

void WaitNextFrame() { PaceFrame(gFramePacer); }

uint32_t Stopwatch(int index, int read) {
    if (index < 0 || index >= STOPWATCH_COUNT) return 0;
    if (!read) {
        gStopwatches[index] = timeGetTime();
        return 0;
    }
    return timeGetTime() - gStopwatches[index];
}

void ResetStopwatches() {
    const uint32_t now = timeGetTime();
    for (uint32_t& start : gStopwatches) start = now;
}

int32_t* GetTimeOfDay(int32_t hourMinuteSecond[3]) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    hourMinuteSecond[0] = now.wHour;
    hourMinuteSecond[1] = now.wMinute;
    hourMinuteSecond[2] = now.wSecond;
    return hourMinuteSecond;
}

float DrawFrameRate(int x, int y) {
    const int centered = gApp.textCentered;
    SetTextCentered(0);
    PrintText(x, y, "%.1f", static_cast<double>(gApp.measuredFrameRate));
    SetTextCentered(centered);
    return gApp.measuredFrameRate;
}
