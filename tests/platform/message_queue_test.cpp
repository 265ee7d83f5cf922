// Windows, the message queue and the headless frame counter.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/win/platform.h"
#include "platform/win/win.h"

namespace {

constexpr UINT WM_USER_ECHO = 0x0400;
std::vector<UINT> gSeen;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gSeen.push_back(message);
    return message == WM_USER_ECHO ? static_cast<LRESULT>(wParam * 2) : DefWindowProcA(window, message, wParam, lParam);
}

class MessageQueue : public ::testing::Test {
protected:
    void Open(const std::string& script = "") {
        PlatformOptions options;
        options.backend = "headless";
        if (!script.empty()) {
            // One file per test: the tests run in parallel processes.
            scriptPath_ = ::testing::TempDir() + "queue-script-" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                          std::to_string(getpid()) + ".txt";
            std::ofstream(scriptPath_) << script;
            options.scriptPath = scriptPath_;
        }
        std::string error;
        ASSERT_TRUE(PlatformOpen(options, &error)) << error;
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "Test Window";
        ASSERT_NE(RegisterClassExA(&wc), 0);
        EXPECT_EQ(RegisterClassExA(&wc), 0) << "a class registers once";
        window_ = CreateWindowExA(0, "Test Window", "t", WS_POPUP | WS_VISIBLE, 80, 60, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        gSeen.clear();
    }
    void TearDown() override {
        PlatformClose();
        if (!scriptPath_.empty()) std::remove(scriptPath_.c_str());
    }

    // Takes every waiting message and returns their numbers.
    std::vector<UINT> Drain() {
        std::vector<UINT> messages;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            messages.push_back(msg.message);
            if (msg.message == WM_QUIT) break;
        }
        return messages;
    }

    std::string scriptPath_;
    HWND window_ = nullptr;
};

TEST_F(MessageQueue, PostedAndSentMessagesCoordinatesAndADestroyedWindowsMessages) {
    Open();
    PostQuitMessage(3);
    PostMessageA(window_, WM_MOVE, 0, 0);
    PostMessageA(window_, WM_PAINT, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_MOVE);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_MOVE, WM_PAINT, WM_QUIT}));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(SendMessageA(window_, WM_USER_ECHO, 21, 0), 42);
    EXPECT_EQ(gSeen, std::vector<UINT>{WM_USER_ECHO});
    msg = {window_, WM_PAINT, 0, 0, 0, {0, 0}};
    DispatchMessageA(&msg);
    EXPECT_EQ(gSeen.back(), WM_PAINT);
    // Client and screen coordinates differ by the window origin; destroying a window drops its messages.
    Open();
    POINT p{10, 20}, cursor{};
    ClientToScreen(window_, &p);
    SetCursorPos(100, 100);
    GetCursorPos(&cursor);
    EXPECT_EQ((std::vector<LONG>{p.x, p.y, cursor.x}), (std::vector<LONG>{90, 80, 100}));
    ScreenToClient(window_, &cursor);
    EXPECT_EQ((std::vector<LONG>{cursor.x, cursor.y}), (std::vector<LONG>{20, 40}));
    PostMessageA(window_, WM_PAINT, 0, 0);
    EXPECT_TRUE(DestroyWindow(window_));
    EXPECT_EQ(gSeen, std::vector<UINT>{WM_DESTROY});
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(Drain().empty());
    EXPECT_FALSE(PostMessageA(window_, WM_PAINT, 0, 0));
}

// Each emptying of the queue ends one headless frame; a key tapped within a
// frame is down for that frame's polls only; Alt makes system keys; message
// boxes take scripted answers; waiting jumps to the next scripted input.
TEST_F(MessageQueue, ScriptedInputArrivesFrameByFrameAndWaitingJumpsToIt) {
    Open("0 answer no\n1 press B\n1 release B\n1 press lbutton\n1 release lbutton\n2 press A\n2 move 5 6\n"
         "3 release A\n3 close\n4 press alt\n4 press return\n4 press f4\n500 activate\n");
    EXPECT_TRUE(Drain().empty());  // frame 0
    EXPECT_EQ(HeadlessFrameNumber(), 0u);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_OK), IDOK);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    for (int poll = 0; poll < 2; ++poll) {
        EXPECT_NE(GetAsyncKeyState('B') & 0x8000, 0);
        EXPECT_NE(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
    }
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_KEYDOWN, WM_MOUSEMOVE}));
    EXPECT_EQ(HeadlessFrameNumber(), 2u);
    EXPECT_EQ(GetAsyncKeyState('B'), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_NE(GetAsyncKeyState('A') & 0x8000, 0);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_KEYUP, WM_CLOSE}));
    EXPECT_EQ(GetAsyncKeyState('A'), 0);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
    EXPECT_TRUE(WaitMessage());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_ACTIVATE);
    EXPECT_EQ(HeadlessFrameNumber(), 500u);
    // With the script used up, waiting asks the program to close.
    EXPECT_TRUE(WaitMessage());
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_CLOSE);
}

}  // namespace
