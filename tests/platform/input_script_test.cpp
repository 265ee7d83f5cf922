// The headless input script: parsing, ordering and errors.
#include <gtest/gtest.h>

#include "platform/win/headless/input_script.h"
#include "platform/win/win.h"

namespace {

TEST(InputScript, ParsesEveryCommandAndKeyNameOrdersByFrameAndReportsTheLineOfAMistake) {
    std::vector<ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(ParseInputScript("# a comment\n30 close\n5 move 100 200   # pointer\n5 press lbutton\n"
                                 "6 release LBUTTON\n7 press esc\n8 press VK_F1\n9 press 0x41\n10 answer no\n"
                                 "11 capture menu.png\n12 stall 250\n13 deactivate\n14 activate\n15 minimize\n"
                                 "16 restore\n17 lose-surfaces\n",
                                 &events, &error))
        << error;
    ASSERT_EQ(events.size(), 15u);
    EXPECT_EQ((std::vector<int64_t>{events[0].x, events[0].y, events[14].frame}), (std::vector<int64_t>{100, 200, 30}));
    EXPECT_EQ(events[0].kind, ScriptEvent::Kind::Move);
    EXPECT_EQ(events[1].kind, ScriptEvent::Kind::Press);
    EXPECT_EQ((std::vector<int>{events[1].key, events[2].key, events[3].key, events[4].key, events[5].key}),
              (std::vector<int>{VK_LBUTTON, VK_LBUTTON, VK_ESCAPE, VK_F1, 'A'}));
    EXPECT_EQ(events[6].answer, IDNO);
    EXPECT_EQ(events[7].file, "menu.png");
    EXPECT_EQ(events[8].milliseconds, 250u);
    EXPECT_EQ(events[13].kind, ScriptEvent::Kind::LoseSurfaces);
    EXPECT_EQ(events[14].kind, ScriptEvent::Kind::Close);
    // A mistake is reported with its line.
    const char* bad[] = {"1 move 5\n", "x close\n", "1 press nosuchkey\n", "1 answer maybe\n", "1 jump\n",
                         "-3 close\n", "1 press 300\n", "1 stall -5\n"};
    for (const char* script : bad) {
        EXPECT_FALSE(ParseInputScript(std::string("0 close\n") + script, &events, &error)) << script;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    }
    // Key names follow virtual-key codes.
    // "7" is a code, not the digit key.
    std::vector<int> codes;
    for (const char* name : {"Escape", "return", "alt", "F12", "z", "7", "right", "rbutton", "F25"})
        codes.push_back(ParseKeyName(name));
    EXPECT_EQ(codes, (std::vector<int>{VK_ESCAPE, VK_RETURN, VK_MENU, VK_F12, 'Z', 7, VK_RIGHT, VK_RBUTTON, -1}));
}

}  // namespace
