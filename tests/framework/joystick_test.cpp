// Joysticks: the direction thresholds and button bits of one reading, the
// codes JoystickState answers to, and start-up on a platform without a driver.
#include <gtest/gtest.h>

#include <vector>

#include "framework/app/app.h"
#include "framework/input/input.h"
#include "tests/framework/headless_fixture.h"

namespace {

class Joysticks : public ::testing::Test {
protected:
    void SetUp() override {
        gJoysticks[0] = JoystickRecord{1, 0, 0, 0, 0, {}};
        gJoysticks[1] = JoystickRecord{};
        gJoystickCount = 2;
    }
    void TearDown() override {
        for (JoystickRecord& r : gJoysticks) r = JoystickRecord{};
        gJoystickCount = 0;
    }
    // The directions after one reading from a resting stick: up, down, left, right.
    static std::vector<int> DirectionsAfter(uint32_t x, uint32_t y) {
        JoystickRecord r{1, 0, 0, 0, 0, {}};
        UpdateJoystickRecord(&r, x, y, 0);
        return {r.up, r.down, r.left, r.right};
    }
};

TEST_F(Joysticks, ThresholdsAndTheDirectionAndButtonCodesReadTheirEdgesUntilDisablingClearsThem) {
    using V = std::vector<int>;
    EXPECT_EQ(DirectionsAfter(32768, 32768), (V{0, 0, 0, 0})) << "the centre";
    EXPECT_EQ(DirectionsAfter(28672, 28672), (V{0, 0, 0, 0}));
    EXPECT_EQ(DirectionsAfter(28671, 28671), (V{2, 0, 2, 0}));
    EXPECT_EQ(DirectionsAfter(32769, 32769), (V{0, 2, 0, 2}));
    EXPECT_EQ(DirectionsAfter(0, 65535), (V{0, 2, 2, 0}));
    EXPECT_EQ(DirectionsAfter(65535, 0), (V{2, 0, 0, 2}));

    UpdateJoystickRecord(&gJoysticks[0], 40000, 100, 0x05);  // right, up, buttons 0 and 2
    UpdateJoystickRecord(&gJoysticks[0], 40000, 32768, 0x84);
    // 3 is not a single button bit, 0x100 beyond the eight buttons; joystick 1
    // is not present and 2 beyond the count.
    const std::pair<int, uint32_t> asked[] = {{0, JOYSTICK_RIGHT}, {0, JOYSTICK_UP}, {0, JOYSTICK_DOWN}, {0, JOYSTICK_LEFT},
                                              {0, 1}, {0, 4}, {0, 0x80}, {0, 3}, {0, 0x100}, {0, 0x80000005u},
                                              {1, JOYSTICK_RIGHT}, {2, JOYSTICK_RIGHT}, {-1, JOYSTICK_RIGHT}};
    std::vector<int> states;
    for (auto [joystick, code] : asked) states.push_back(JoystickState(joystick, code));
    EXPECT_EQ(states, (std::vector<int>{KEY_HELD, KEY_RELEASED, KEY_UP, KEY_UP, KEY_RELEASED, KEY_HELD, KEY_PRESSED,
                                        0, 0, 0, 0, 0, 0}));

    // Disabling clears every counted joystick.
    UpdateJoystickRecord(&gJoysticks[0], 0, 0, 0xFF);
    EXPECT_EQ(EnableJoystick(1), 2);
    EXPECT_EQ(JoystickState(0, JOYSTICK_LEFT), KEY_PRESSED);
    EXPECT_EQ(EnableJoystick(0), 2);
    EXPECT_EQ(gApp.joystickEnabled, 0);
    EXPECT_EQ(JoystickState(0, JOYSTICK_LEFT), KEY_UP);
    EXPECT_EQ(JoystickState(0, 0x40), KEY_UP);
    EXPECT_EQ(gJoysticks[0].present, 1);
}

class JoysticksWithoutDriver : public HeadlessTest {};

TEST_F(JoysticksWithoutDriver, StartUpFindsNoneAndLogsNothing) {
    EXPECT_EQ(joyGetNumDevs(), 0u);
    JOYCAPSA caps{};
    EXPECT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), MMSYSERR_NODRIVER);
    JOYINFOEX info{};
    info.dwSize = 40;
    EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_PARMS) << "the record must be 52 bytes";
    testing::internal::CaptureStderr();
    InitJoysticks();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(gJoystickCount, 0);
    PollJoysticks();
    EXPECT_EQ(JoystickState(0, JOYSTICK_UP), 0);
}

}  // namespace
