// Editor sessions for whole-program tests: a working directory with the
// bitmaps and the three slot folders, and input scripts written as clicks,
// drags and keys on the editor's screens rather than as raw frame numbers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/support/program_runner.h"

// Points on the editor's screens (the middle of each button or cell).
struct Point {
    int x;
    int y;
};
inline Point MapPoint(int column, int row) { return {30 + 30 * column, 71 + 12 * row}; }
inline Point Palette1Point(int value) { return {470 + 30 * (value / 10), 246 + 12 * (value % 10)}; }
inline constexpr Point OFF_MAP{430, 150};
inline constexpr Point USER_POINTS[] = {{290, 220}, {300, 255}, {340, 290}};
inline constexpr Point BACK10{5, 25}, BACK1{38, 25}, FORWARD1{104, 25}, FORWARD10{126, 25};
inline constexpr Point SAVE{460, 25}, LOAD{570, 25}, DOTS{460, 205}, SQAR{515, 205}, LINE{570, 205};
inline constexpr Point YES{230, 295}, NO{380, 295};

// An input script built step by step; each step starts at the next free frame.
// A button or key is left up for a frame after each release: pressed again at
// once it would read as held, not pressed.
class EditorScript {
public:
    EditorScript& Move(Point p) { return MoveAt(frame_, p); }
    EditorScript& MoveAt(int frame, Point p) {
        return Line(frame, "move " + std::to_string(p.x) + " " + std::to_string(p.y));
    }
    EditorScript& Click(Point p, const char* button = "lbutton") { return Move(p).PressRelease(button, 1); }
    // Left button down at from, moved through the points, released at the last one.
    EditorScript& Drag(Point from, std::initializer_list<Point> through, const char* button = "lbutton") {
        Move(from).Line(frame_, std::string("press ") + button);
        for (Point p : through) MoveAt(++frame_, p);
        Line(frame_, std::string("release ") + button);
        frame_ += 2;
        return *this;
    }
    EditorScript& Key(const char* name) { return PressRelease(name, 1); }
    // Pressed and released within one frame, as a touchpad tap or a quick key is.
    EditorScript& Tap(Point p) { return Move(p).TapKey("lbutton"); }
    EditorScript& TapKey(const char* name) { return PressRelease(name, 0); }
    // Alt+Enter: full screen to a window or back.
    EditorScript& SwitchScreen() {
        Line(frame_, "press alt").Line(frame_, "press return");
        Line(frame_ + 1, "release return").Line(frame_ + 1, "release alt");
        frame_ += 3;
        return *this;
    }
    EditorScript& Capture(const std::string& file) { return Line(frame_, "capture " + file); }
    EditorScript& Wait(int frames) {
        frame_ += frames;
        return *this;
    }

    // Screen changes, recording when the edit screen was last built.
    EditorScript& ChooseSlot(int slot) { return Rebuilt(Click(USER_POINTS[slot - 1])); }
    EditorScript& Confirm(Point saveOrLoad, Point answer) { return Rebuilt(Click(saveOrLoad).Click(answer)); }
    EditorScript& StageKey(const char* name) { return Rebuilt(Key(name)); }
    // Waits until the map takes the pointer again after the last rebuild.
    EditorScript& WaitForMap() {
        frame_ = std::max(frame_, builtAt_ + 15);
        return *this;
    }

    int frame() const { return frame_; }
    int builtAt() const { return builtAt_; }
    const std::string& text() const { return text_; }

    EditorScript& Line(int frame, const std::string& command) {
        text_ += std::to_string(frame) + " " + command + "\n";
        return *this;
    }

private:
    // Pressed now, released `held` frames later, then left up.
    EditorScript& PressRelease(const char* name, int held) {
        Line(frame_, std::string("press ") + name).Line(frame_ + held, std::string("release ") + name);
        frame_ += 3;
        return *this;
    }
    // The press of the click or key just taken (three frames back) built the edit screen.
    EditorScript& Rebuilt(EditorScript& self) {
        builtAt_ = frame_ - 3;
        return self;
    }
    std::string text_;
    int frame_ = 1;
    int builtAt_ = 0;
};

// A working directory with bmp/ and user/s1..s3, removed after the test.
class EditorSession : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        dir_ = fs::temp_directory_path() / ("quibedit-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "bmp");
        for (int s = 1; s <= 3; ++s) fs::create_directories(dir_ / ("user/s" + std::to_string(s)));
        for (const auto& entry : fs::directory_iterator(fs::path(KORVEN_SOURCE_DIR) / "assets/bmp"))
            if (entry.path().extension() == ".bmp") fs::copy_file(entry.path(), dir_ / "bmp" / entry.path().filename());
    }
    void TearDown() override { if (!HasFailure()) std::filesystem::remove_all(dir_); }

    // Runs the editor on the script and closes its window (which saves) at the end.
    void Run(EditorScript script) {
        script.Line(script.frame(), "close");
        const RunResult r = RunProgram("quibedit", "--max-frames=5000 --capture-dir='" + dir_.string() + "'",
                                       script.text(), dir_);
        output_ = r.output;
        ASSERT_EQ(r.exitCode, 0) << r.output;
    }

    std::filesystem::path dir_;
    std::string output_;  // the last run's log
};
