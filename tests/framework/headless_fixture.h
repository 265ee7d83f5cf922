// A headless platform opened for the length of one test.
#pragma once

#include <gtest/gtest.h>

#include "platform/win/platform.h"

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformOptions options;
        options.backend = "headless";
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
    }
    void TearDown() override { PlatformClose(); }
};
