// The framework's window and display started on the headless platform with an
// input script, its debug log and captures in a folder of the test's own;
// everything taken down and the folder removed after the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "framework/app/app.h"
#include "framework/app/main_window.h"
#include "framework/display/display.h"
#include "platform/win/platform.h"

class ScriptedFramework : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                   std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    // Starts with the script as the input; other options as given.
    void Start(const std::string& script, PlatformOptions options = {}) {
        std::ofstream(folder_ / "input.script") << script;
        options.backend = "headless";
        options.scriptPath = (folder_ / "input.script").string();
        options.captureDir = folder_.string();
        options.logPath = (folder_ / "debug.log").string();
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
        InitFrameworkState();
        ASSERT_EQ(CreateMainWindow(), 1);
        ASSERT_EQ(InitDisplay(), 1);
        gApp.active = 1;
    }
    void TearDown() override {
        if (PlatformIsOpen()) {
            std::destroy_at(&gDisplay);
            std::construct_at(&gDisplay);
            PlatformClose();
        }
        std::filesystem::remove_all(folder_);
    }
    std::string Log() const {
        std::ifstream in(folder_ / "debug.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder_;
};
