// Whole programs on the headless backend: start-up order, the frame loop,
// activation, and the ways a program ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"

namespace fs = std::filesystem;

namespace {

// Checks that the lines appear in the output in this order.
void ExpectInOrder(const std::string& output, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = output.find(line, at);
        ASSERT_NE(found, std::string::npos) << "'" << line << "' missing or out of order in:\n" << output;
        at = found + line.size();
    }
}

TEST(Program, StartsUpInOrderAndEndsThroughTheExitProcedure) {
    const RunResult r = RunProgram("probe_app", "--trace", "10 press esc\n");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    ExpectInOrder(r.output, {"trace: FindWindowA", "trace: RegisterClassExA", "trace: CreateWindowExA",
                             "AppInit rate=20 quit=27 active=1 window=1", "trace: SetWindowTextA",
                             "exit asked after 10 frames", "trace: DestroyWindow", "trace: ClipCursor",
                             "trace: PostQuitMessage"});
}

TEST(Program, ARefusingExitProcedureKeepsItRunningAndActive) {
    const RunResult r = RunProgram("probe_app", "refuse-close=1", "10 press esc\n11 release esc\n20 deactivate\n30 close\n");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    // Once quitting, deactivation no longer stops the frames.
    ExpectInOrder(r.output, {"exit asked after 10 frames", "exit asked after 30 frames"});
}

TEST(Program, RequestQuitAsksTheExitProcedureBeforeReturning) {
    const RunResult r = RunProgram("probe_app", "quit-at=7", "1000 close\n");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("exit asked after 7 frames"), std::string::npos) << r.output;
}

TEST(Program, NoFramesRunWhileInactiveOrMinimised) {
    RunResult r = RunProgram("probe_app", "", "5 deactivate\n50 activate\n60 close\n");
    EXPECT_NE(r.output.find("exit asked after 15 frames"), std::string::npos) << r.output;
    r = RunProgram("probe_app", "", "5 minimize\n40 restore\n45 close\n");
    EXPECT_NE(r.output.find("exit asked after 10 frames"), std::string::npos) << r.output;
}

TEST(Program, ConfigureModeRunsOnlyTheConfigureHook) {
    const RunResult r = RunProgram("probe_configure_app", "", "5 close\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("AppConfigure"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("AppInit"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("exit asked"), std::string::npos) << r.output;
}

TEST(Program, AScreenSaverReadsItsCommandLine) {
    RunResult r = RunProgram("probe_screen_saver_app", "/s", "5 close\n");
    EXPECT_NE(r.output.find("exit asked after 5 frames"), std::string::npos) << r.output;
    r = RunProgram("probe_screen_saver_app", "-C", "5 close\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("AppConfigure"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("AppInit"), std::string::npos) << r.output;
    // A preview into a window that does not exist, no switch, or an unknown one: the program just ends.
    for (const char* args : {"/p 12345", "", "/x", "s"}) {
        r = RunProgram("probe_screen_saver_app", args, "5 close\n");
        EXPECT_EQ(r.exitCode, 0) << args;
        EXPECT_EQ(r.output.find("AppInit"), std::string::npos) << args << ": " << r.output;
        EXPECT_EQ(r.output.find("AppConfigure"), std::string::npos) << args << ": " << r.output;
    }
}

// Backslash-separated, as the program joins names to it.
std::string SystemForm(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

TEST(Program, MediaNamesResolveAgainstTheWorkingDirectoryOrAScreenSaversOwnFolder) {
    const fs::path dir = fs::canonical(fs::temp_directory_path());
    RunResult r = RunProgram("probe_app", "", "5 close\n", dir);
    EXPECT_NE(r.output.find("app directory=" + SystemForm(dir.string()) + "\n"), std::string::npos) << r.output;
    r = RunProgram("probe_screen_saver_app", "/s", "5 close\n", dir);
    const std::string programFolder = SystemForm(fs::canonical(KORVEN_BIN_DIR).string());
    EXPECT_NE(r.output.find("app directory=" + programFolder + "\n"), std::string::npos) << r.output;
}

TEST(Program, AScriptThatRunsOutClosesTheProgramTheFrameAfter) {
    RunResult r = RunProgram("probe_app", "", "7 move 1 1\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("exit asked after 8 frames"), std::string::npos) << r.output;
    // A program that refuses is ended 60 frames later all the same.
    r = RunProgram("probe_app", "refuse-close=1000", "7 move 1 1\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("exit asked after 8 frames"), std::string::npos) << r.output;
}

TEST(Program, AFrameLimitClosesTheProgram) {
    const RunResult r = RunProgram("probe_app", "--headless --max-frames=3600");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("exit asked after 3600 frames"), std::string::npos) << r.output;
}

TEST(Program, BadOptionsAndScriptsAreReportedClearly) {
    RunResult r = RunProgram("probe_app", "--scale=0 --headless");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.output.find("bad value for --scale"), std::string::npos) << r.output;
    r = RunProgram("probe_app", "--frobnicate");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.output.find("unknown option --frobnicate"), std::string::npos) << r.output;
    r = RunProgram("probe_app", "", "0 close\n1 move here\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("line 2: usage: N move X Y"), std::string::npos) << r.output;
    r = RunProgram("probe_app", "--script /nonexistent/script.txt");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("cannot read the input script"), std::string::npos) << r.output;
}

TEST(Program, TheEditorQuitOnTheMenuWritesNothing) {
    const fs::path dir = fs::temp_directory_path() / ("editor-quit-" + std::to_string(getpid()));
    fs::remove_all(dir);
    for (int s = 1; s <= 3; ++s) fs::create_directories(dir / ("user/s" + std::to_string(s)));
    const RunResult r = RunProgram("quibedit", "", "30 press esc\n", dir);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    for (int s = 1; s <= 3; ++s) EXPECT_TRUE(fs::is_empty(dir / ("user/s" + std::to_string(s))));
    fs::remove_all(dir);
}

}  // namespace
