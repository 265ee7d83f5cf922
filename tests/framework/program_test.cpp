// Whole programs on the headless backend: start-up order, the frame loop,
// activation, and the ways a program ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_runner.h"
#include "tests/support/scoped_environment.h"

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

// A run of a program: its exit status, lines its output holds in this
// order, and texts it must not hold.
struct ProgramRun {
    const char* program;
    const char* arguments;
    const char* script;
    int exitCode;
    std::vector<std::string> lines, absent = {};
};

TEST(Program, EachRunEndsAsItsOptionsAndScriptSay) {
    const ProgramRun runs[] = {
        // Start-up in order, and the end through the exit procedure.
        {"probe_app", "--trace", "10 press esc\n", 0,
         {"trace: FindWindowA", "trace: RegisterClassExA", "trace: CreateWindowExA",
          "AppInit rate=20 quit=27 active=1 window=1", "trace: SetWindowTextA", "exit asked after 10 frames",
          "trace: DestroyWindow", "trace: ClipCursor", "trace: PostQuitMessage"}},
        // Once quitting, deactivation no longer stops the frames.
        {"probe_app", "refuse-close=1", "10 press esc\n11 release esc\n20 deactivate\n30 close\n", 0,
         {"exit asked after 10 frames", "exit asked after 30 frames"}},
        // RequestQuit asks the exit procedure before returning.
        {"probe_app", "quit-at=7", "1000 close\n", 0, {"exit asked after 7 frames"}},
        // No frames run while inactive or minimised.
        {"probe_app", "", "5 deactivate\n50 activate\n60 close\n", 0, {"exit asked after 15 frames"}},
        {"probe_app", "", "5 minimize\n40 restore\n45 close\n", 0, {"exit asked after 10 frames"}},
        {"probe_frameless_app", "", "10 press esc\n", 0, {"exit asked"}},
        // Configure mode runs only the configure hook.
        {"probe_configure_app", "", "5 close\n", 0, {"AppConfigure"}, {"AppInit", "exit asked"}},
        // A screen saver reads its command line; a preview into a window that
        // does not exist, no switch or an unknown one: the program just ends.
        {"probe_screen_saver_app", "/s", "5 close\n", 0, {"exit asked after 5 frames"}},
        {"probe_screen_saver_app", "-C", "5 close\n", 0, {"AppConfigure"}, {"AppInit"}},
        {"probe_screen_saver_app", "/p 12345", "5 close\n", 0, {}, {"AppInit", "AppConfigure"}},
        {"probe_screen_saver_app", "", "5 close\n", 0, {}, {"AppInit", "AppConfigure"}},
        {"probe_screen_saver_app", "/x", "5 close\n", 0, {}, {"AppInit", "AppConfigure"}},
        {"probe_screen_saver_app", "s", "5 close\n", 0, {}, {"AppInit", "AppConfigure"}},
        // A script that runs out closes the program the frame after; one that
        // refuses is ended 60 frames later all the same.
        {"probe_app", "", "7 move 1 1\n", 0, {"exit asked after 8 frames"}},
        {"probe_app", "refuse-close=1000", "7 move 1 1\n", 0, {"exit asked after 8 frames"}},
        {"probe_app", "--headless --max-frames=3600", "", 0, {"exit asked after 3600 frames"}},
        // Bad options and scripts are reported clearly.
        {"probe_app", "--scale=0 --headless", "", 2, {"bad value for --scale"}},
        {"probe_app", "--frobnicate", "", 2, {"unknown option --frobnicate"}},
        {"probe_app", "", "0 close\n1 move here\n", 1, {"line 2: usage: N move X Y"}},
        {"probe_app", "--script /nonexistent/script.txt", "", 1, {"cannot read the input script"}},
        // --help prints the usage (a program that takes words names them); a stray word is an error.
        {"quibedit", "--help", "", 0, {"usage: ", "--window "}},
        {"quibedit", "-h", "", 0, {"usage: ", "--window "}},
        {"quibedit", "--headless stray", "", 2, {"unexpected argument 'stray'"}},
        {"probe_app", "--help", "", 0, {"[options] [refuse-close=N] [quit-at=F]"}},
        // --window starts a full-screen program in a window.
        {"draw_probe_app", "--window", "3 close\n", 0, {"display depth=16 full=0"}},
    };
    for (const ProgramRun& run : runs) {
        SCOPED_TRACE(std::string(run.program) + " " + run.arguments);
        const RunResult r = RunProgram(run.program, run.arguments, run.script);
        EXPECT_EQ(r.exitCode, run.exitCode) << r.output;
        ExpectInOrder(r.output, run.lines);
        for (const std::string& text : run.absent) EXPECT_EQ(r.output.find(text), std::string::npos) << r.output;
        if (std::string(run.arguments) == "--help" || std::string(run.arguments) == "-h") {
            EXPECT_EQ(r.output.find("usage: "), 0u) << r.output;
        }
    }
}

TEST(Program, WithoutADesktopTheErrorSaysWhatWasTried) {
    ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr), driver("SDL_VIDEODRIVER", nullptr),
        runtime("XDG_RUNTIME_DIR", nullptr);
    {
        ScopedEnvironment display("DISPLAY", ":1999");
        const RunResult r = RunProgram("probe_app", "--backend=sdl2");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.output.find("DISPLAY=:1999: no display server answers"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("XDG_RUNTIME_DIR"), std::string::npos) << r.output;
    }
    ScopedEnvironment display("DISPLAY", nullptr);
    const RunResult r = RunProgram("probe_app", "--backend=sdl2");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("neither DISPLAY nor WAYLAND_DISPLAY is set; run with --headless"), std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("XDG_RUNTIME_DIR"), std::string::npos) << r.output;
}

// Backslash-separated, as the program joins names to it.
std::string SystemForm(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

TEST(Program, MediaNamesResolveAgainstTheWorkingDirectoryOrAScreenSaversOwnFolderAndQuittingWritesNothing) {
    const fs::path dir = fs::canonical(fs::temp_directory_path());
    RunResult r = RunProgram("probe_app", "", "5 close\n", dir);
    EXPECT_NE(r.output.find("app directory=" + SystemForm(dir.string()) + "\n"), std::string::npos) << r.output;
    r = RunProgram("probe_screen_saver_app", "/s", "5 close\n", dir);
    const std::string programFolder = SystemForm(fs::canonical(KORVEN_BIN_DIR).string());
    EXPECT_NE(r.output.find("app directory=" + programFolder + "\n"), std::string::npos) << r.output;

    // The editor quit on the menu writes nothing.
    const fs::path editorDir = dir / ("editor-quit-" + std::to_string(getpid()));
    fs::remove_all(editorDir);
    for (int s = 1; s <= 3; ++s) fs::create_directories(editorDir / ("user/s" + std::to_string(s)));
    r = RunProgram("quibedit", "", "30 press esc\n", editorDir);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    for (int s = 1; s <= 3; ++s) EXPECT_TRUE(fs::is_empty(editorDir / ("user/s" + std::to_string(s))));
    fs::remove_all(editorDir);
}

}  // namespace
