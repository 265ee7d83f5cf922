// Whole programs on the headless display: one scene compared with its golden
// frame on every path that must give the same picture; the running-instance check.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win/instance_registry.h"
#include "platform/win/platform.h"
#include "tests/support/golden_frames.h"
#include "tests/support/program_runner.h"

namespace fs = std::filesystem;

namespace {

class DrawProgram : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("draw-probe-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy_file(fs::path(KORVEN_SOURCE_DIR) / "tests/data/probe_tile.bmp", dir_ / "probe_tile.bmp");
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
};

// A 16-bit desktop, a 32-bit one (locked to 16 bits), a window after Alt+Enter
// and a run whose surfaces were lost and restored all give the same picture.
TEST_F(DrawProgram, EveryDesktopAWindowAndRestoredSurfacesShowTheSamePicture) {
    const struct {
        const char* options;
        const char* script;
        std::vector<const char*> reported;  // Shift-JIS, as the program writes them
    } runs[] = {
        {"", "3 capture scene.png\n5 close\n", {"display depth=16 full=1 locked=0"}},
        {"--desktop-depth=32", "3 capture scene.png\n5 close\n", {"display depth=16 full=1 locked=1"}},
        {"", "2 press alt\n2 press return\n3 release return\n3 release alt\n6 capture scene.png\n8 close\n",
         {"display depth=16 full=1"}},
        {"", "3 lose-surfaces\n6 capture scene.png\n8 close\n",
         {"Flont/Back Bufferを復元します。", "BUFFER LOST:IMG[probe_tile.bmp]をリロードします。",
          "BUFFER LOST:BMP[0]の内容を修復して下さい。"}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.script);
        const RunResult r = RunProgram("draw_probe_app", std::string(run.options) + " --capture-dir=.", run.script, dir_);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        ExpectFrameMatchesGolden(dir_ / "scene.png", fs::path(KORVEN_SOURCE_DIR) / "tests/framework/golden/draw_scene.png");
        for (const char* line : run.reported) EXPECT_NE(r.output.find(ShiftJisToUtf8(line)), std::string::npos) << r.output;
    }
}

TEST(InstanceCheck, ASecondStartFindsTheFirstAndEndsSilently) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        PlatformOptions options;
        options.backend = "headless";
        options.singleInstanceCheck = true;
        std::string error;
        PlatformOpen(options, &error);
        RegisterRunningInstance("Class Korven");
        (void)!write(ready[1], "x", 1);
        sleep(30);
        _exit(0);
    }
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    const RunResult second = RunProgram("probe_app", "--single-instance", "5 close\n");
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.output.find("AppInit"), std::string::npos) << second.output;

    // With the first one gone the program starts.
    const RunResult third = RunProgram("probe_app", "--single-instance", "5 close\n");
    EXPECT_NE(third.output.find("AppInit"), std::string::npos) << third.output;
}

}  // namespace
