// Frame pacing against the headless virtual clock: Sleep advances the clock,
// so the clock after each frame tells how long that frame was held.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "framework/app/app.h"
#include "framework/app/frame_pacing.h"
#include "framework/app/random.h"
#include "tests/framework/headless_fixture.h"

namespace {

class FramePacing : public HeadlessTest {
protected:
    // Runs frames that take `work` milliseconds each and returns how long each
    // frame lasted from one pacing call to the next.
    std::vector<uint32_t> RunFrames(int count, uint32_t work = 0) {
        std::vector<uint32_t> lengths;
        for (int i = 0; i < count; ++i) {
            const uint32_t start = timeGetTime();
            HeadlessSetClock(start + work);
            PaceFrame(pacer_);
            lengths.push_back(timeGetTime() - start);
        }
        return lengths;
    }
    FramePacer pacer_;
};

TEST_F(FramePacing, TwentyFramesPerSecondHoldsEveryFrameFor50ms) {
    SetFrameRate(20);
    RunFrames(1);  // the first call starts the schedule
    for (uint32_t length : RunFrames(40)) EXPECT_EQ(length, 50u);
}

TEST_F(FramePacing, SixtyFramesPerSecondSpreadsTheRemainderOverTheSecond) {
    SetFrameRate(60);
    const std::vector<uint32_t> lengths = RunFrames(120);
    // Every 6th frame lasts 16 + 4 ms; one second of frames sums to 1000 ms.
    for (size_t i = 0; i < lengths.size(); ++i) EXPECT_EQ(lengths[i], (i + 1) % 6 == 0 ? 20u : 16u) << "frame " << i;
    EXPECT_EQ(std::accumulate(lengths.begin(), lengths.begin() + 60, 0u), 1000u);
    EXPECT_EQ(std::accumulate(lengths.begin() + 60, lengths.end(), 0u), 1000u);
}

TEST_F(FramePacing, LateFramesAreCaughtUpFarBehindOnesDropTheBacklogAndAnEarlyClockResets) {
    SetFrameRate(20);
    RunFrames(3);
    // A frame that takes 3 intervals: the next two frames run back to back.
    EXPECT_EQ(RunFrames(1, 150)[0], 150u);
    EXPECT_EQ(RunFrames(2), (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(RunFrames(3), (std::vector<uint32_t>{50, 50, 50}));
    // Four intervals or more: the schedule restarts one interval before now,
    // so exactly one further frame runs without sleeping.
    EXPECT_EQ(RunFrames(1, 1000)[0], 1000u);
    EXPECT_EQ(RunFrames(4), (std::vector<uint32_t>{0, 50, 50, 50}));
    // A clock that reads earlier than the schedule resets it.
    HeadlessSetClock(timeGetTime() - 10);
    EXPECT_EQ(RunFrames(3), (std::vector<uint32_t>{0, 0, 50}));
}

TEST_F(FramePacing, TheClockWrapDoesNotDisturbThePacing) {
    HeadlessSetClock(0xFFFFFFFFu - 120);
    SetFrameRate(20);
    RunFrames(1);
    for (uint32_t length : RunFrames(10)) EXPECT_EQ(length, 50u);
    EXPECT_LT(timeGetTime(), 1000u) << "the clock has wrapped";
    SetFrameRate(60);
    const std::vector<uint32_t> lengths = RunFrames(60);
    EXPECT_EQ(std::accumulate(lengths.begin(), lengths.end(), 0u), 1000u);
}

TEST_F(FramePacing, TheMeasuredRateStartsAtTheTargetAndFollowsTheFrames) {
    SetFrameRate(20);
    RunFrames(1);
    EXPECT_EQ(gApp.measuredFrameRate, 20.0f);
    // The first measurement spans the 9 intervals between the 1st and 10th call.
    RunFrames(9);
    EXPECT_FLOAT_EQ(gApp.measuredFrameRate, 20 * 500.0f / 450);
    RunFrames(10);
    EXPECT_EQ(gApp.measuredFrameRate, 20.0f);
    // Frames of 100 ms: the first window still holds one 50 ms frame.
    RunFrames(10, 100);
    EXPECT_FLOAT_EQ(gApp.measuredFrameRate, 20 * 500.0f / 1050);
    RunFrames(10, 100);
    EXPECT_EQ(gApp.measuredFrameRate, 10.0f);
}

TEST_F(FramePacing, LoweringTheRatePastACounterStopsTheMeasurement) {
    SetFrameRate(60);
    RunFrames(25);  // the measure counter stands at 25 of 30
    SetFrameRate(20);  // new threshold 10: the counter only meets it after wrapping
    RunFrames(200, 100);
    EXPECT_EQ(gApp.measuredFrameRate, 60.0f);
}

TEST(FrameRate, RateClampsTo2Through100AndIntervalsTurnIntoRates) {
    std::vector<uint32_t> rates;
    for (int rate : {0, 250, 60}) {
        SetFrameRate(rate);
        rates.push_back(gApp.frameRate);
    }
    EXPECT_EQ(rates, (std::vector<uint32_t>{2, 100, 60}));
    std::vector<int> fromIntervals;
    for (int interval : {1000, 5, 1, 0, -7}) fromIntervals.push_back(SetFrameInterval(interval));
    EXPECT_EQ(fromIntervals, (std::vector<int>{2, 200, 1000, 1000, 1000}));
    EXPECT_EQ(gApp.frameRate, 1000u);
}

TEST_F(FramePacing, StopwatchesAndTimeOfDayReadTheClock) {
    HeadlessSetClock(5000);
    ResetStopwatches();
    HeadlessSetClock(5250);
    EXPECT_EQ((std::vector<uint32_t>{Stopwatch(2, 1), Stopwatch(0, 0)}), (std::vector<uint32_t>{250, 0}));
    HeadlessSetClock(5300);
    EXPECT_EQ((std::vector<uint32_t>{Stopwatch(0, 1), Stopwatch(1, 1), Stopwatch(3, 1), Stopwatch(-1, 1)}),
              (std::vector<uint32_t>{50, 300, 0, 0}));

    // The headless day starts at 12:00:00 when the clock starts.
    HeadlessSetClock((3600 + 61) * 1000 + 999);
    int32_t now[3];
    EXPECT_EQ(GetTimeOfDay(now), now);
    EXPECT_EQ(std::vector<int32_t>(now, now + 3), (std::vector<int32_t>{13, 1, 1}));
}

}  // namespace
