// The framework's window and display started on the headless platform with an
// input script, its debug log and captures in a folder of the test's own;
// everything taken down and the folder removed after the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/framework/display_fixture.h"
#include "tests/framework/slot_pictures.h"

class ScriptedFramework : public DisplayTest {
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
        options.scriptPath = (folder_ / "input.script").string();
        options.captureDir = folder_.string();
        options.logPath = (folder_ / "debug.log").string();
        StartDisplay(options);
    }
    void TearDown() override {
        if (PlatformIsOpen()) DisplayTest::TearDown();
        std::filesystem::remove_all(folder_);
    }
    std::string Log() const { return ReadText((folder_ / "debug.log").string()); }

    std::filesystem::path folder_;
};
