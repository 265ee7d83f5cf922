// The framework's sound device on the headless platform, as start-up makes
// it, with the mix of the next moments of virtual time at hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/app/app.h"
#include "framework/app/main_window.h"
#include "framework/sound/sound.h"
#include "platform/dsound/mixer.h"
#include "tests/framework/headless_fixture.h"

class SoundTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        InitFrameworkState();
        ASSERT_EQ(CreateMainWindow(), 1);
        ASSERT_EQ(CreateSoundDevice(), 1);
    }
    void TearDown() override {
        std::destroy_at(&gSound);  // releases the slots and the device
        std::construct_at(&gSound);
        HeadlessTest::TearDown();
    }

    // The mix of the next `milliseconds` of virtual time.
    static std::vector<int16_t> Render(DWORD milliseconds) {
        StartSoundRecording();
        Sleep(milliseconds);
        return TakeSoundRecording();
    }
};
