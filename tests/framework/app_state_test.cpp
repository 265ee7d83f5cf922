// Setter limits, the random formula, the sine table, edge states and the
// message buffer.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <string>
#include <vector>

#include "framework/app/app.h"
#include "framework/app/random.h"
#include "framework/dialog/diagnostics.h"
#include "framework/input/input.h"
#include "tests/framework/headless_fixture.h"
#include "tests/support/scoped_value.h"

namespace {

void FrameA() {}
void FrameB() {}

TEST(Setters, QuitKeyAcceptsZeroTo256AndFrameProcRefusesNull) {
    // Each call's answer and the key it leaves.
    std::vector<int> results;
    for (int key : {27, 256, 257, -1, 0}) results.insert(results.end(), {SetQuitKey(key), gApp.quitKey});
    EXPECT_EQ(results, (std::vector<int>{1, 27, 1, 256, 0, 256, 0, 256, 1, 0}));
    EXPECT_EQ((std::vector<int>{SetFrameProc(FrameA), SetFrameProc(nullptr)}), (std::vector<int>{1, 0}));
    EXPECT_EQ(gApp.frameProc, FrameA);
    EXPECT_EQ(SetFrameProc(FrameB), 1);
    EXPECT_EQ(gApp.frameProc, FrameB);
}

// A seed whose first draw is the generator's largest value, 32767.
uint32_t SeedForLargestDraw() {
    for (uint32_t seed = 0;; ++seed) {
        SeedRandom(seed);
        if (NextRandom() == 32767) return seed;
    }
}

TEST(RandomNumbers, RangeIsZeroToNAndNPlusOneOnlyForTheLargestDrawAndTheSameSeedRepeats) {
    SeedRandom(12345);
    for (int i = 0, r; i < 100000; ++i) ASSERT_TRUE((r = NextRandom()) >= 0 && r <= 32767) << r;
    SeedRandom(99);
    for (int i = 0, v; i < 20000; ++i) ASSERT_TRUE((v = Random(9)) >= 0 && v <= 10) << v;
    const uint32_t seed = SeedForLargestDraw();
    for (const auto& [n, largest] : {std::pair{0, 1}, {9, 10}, {32766, 32767}}) {
        SeedRandom(seed);
        EXPECT_EQ(Random(n), largest) << n;
    }
    SeedRandom(7);
    const std::vector<int> first{Random(1000), Random(1000)};
    SeedRandom(7);
    EXPECT_EQ(first, (std::vector<int>{Random(1000), Random(1000)}));
}

TEST(SineTable, HoldsTruncatedDegreesTimes360) {
    InitFrameworkState();
    // In double precision sin(30 degrees) x 360 comes out just below 180 and
    // sin(210 degrees) x 360 just below -180: truncation keeps 179 and -180;
    // sin(359 degrees) goes toward zero, not floored.
    const int degrees[] = {0, 90, 180, 270, 449, 30, 210, 359, 45};
    std::vector<int> values;
    for (int d : degrees) values.push_back(gSinTable[d]);
    EXPECT_EQ(values, (std::vector<int>{0, 360, 0, -360, 359, 179, -180, -6, 254}));
}

TEST(EdgeStates, FollowTheFourStateRules) {
    // Held three updates, then up two; then down, up, down on consecutive updates reads 2, 1, 3.
    const bool held[] = {true, true, true, false, false, true, false, true};
    std::vector<int> states;
    for (uint8_t s = KEY_UP; const bool down : held) states.push_back(s = UpdateEdgeState(down, s));
    EXPECT_EQ(states, (std::vector<int>{KEY_PRESSED, KEY_HELD, KEY_HELD, KEY_RELEASED, KEY_UP, KEY_PRESSED, KEY_RELEASED,
                                        KEY_HELD}));
}

using KeyStates = HeadlessTest;

TEST_F(KeyStates, AnswerZeroWhileAModalBoxIsOpen) {
    {
        const ScopedValue modal(gApp.modal, 1);
        EXPECT_EQ(KeyState(VK_SPACE), 0);
    }
    EXPECT_EQ((std::vector<int>{KeyState(VK_SPACE), KeyState(300), KeyState(-1)}), (std::vector<int>{KEY_UP, 0, 0}));
}

std::string Format(const char* format, ...) {
    char buffer[MESSAGE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    FormatMessageText(buffer, sizeof(buffer), format, args);
    va_end(args);
    return buffer;
}

TEST(MessageText, IsTruncatedTo255BytesWithoutSplittingACharacter) {
    EXPECT_EQ(Format("%s", std::string(300, 'a').c_str()), std::string(255, 'a'));
    // 254 single bytes then a double-byte character: its lead byte would be
    // byte 255, so it is dropped as a whole.
    EXPECT_EQ(Format("%s", (std::string(254, 'b') + "漢字").c_str()), std::string(254, 'b'));
    EXPECT_EQ(Format("%d個のジョイスティックが使用可能です\n", 2), "2個のジョイスティックが使用可能です\n");
}

}  // namespace
