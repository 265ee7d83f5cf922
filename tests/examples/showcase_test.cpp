// The showcase run headless from page to page, each page captured at a fixed
// frame and compared with its golden picture.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/win/platform.h"
#include "tests/support/golden_frames.h"
#include "tests/support/network_sessions.h"
#include "tests/support/program_runner.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPages = 13;
constexpr int kDialogPage = 9;
constexpr int kNetworkPage = 11;
constexpr int kScene3DPage = 12;
constexpr int kMusicPage = 13;
constexpr int kFramesPerPage = 40;
constexpr int kCaptureAt = 12;  // frames into a page: transitions are half way

// A script line.
std::string At(int frame, const std::string& command) { return std::to_string(frame) + " " + command + "\n"; }

// With switching, every page goes to a window and back (Alt+Enter twice)
// before its capture, and the 3D page also loses its surfaces; they must
// look the same.
std::string PagingScript(bool switching) {
    std::string script = "0 move 320 240\n";
    for (int page = 0; page < kPages; ++page) {
        const int start = page * kFramesPerPage;
        for (int at : {start + 2, start + 5})
            if (switching)
                script += At(at, "press alt") + At(at, "press return") + At(at + 1, "release return") +
                          At(at + 1, "release alt");
        // The dialog page is captured with its selection screen up, which a
        // double-click on the cancel entry (row 5, at y = 92 + 1 + 5 * 18 + 9) ends.
        if (page + 1 == kDialogPage)
            script += At(start + 7, "press L") + At(start + 8, "release L") + At(start + 8, "move 100 192") +
                      At(start + 20, "press lbutton") + At(start + 20, "release lbutton") + At(start + 21, "press lbutton") +
                      At(start + 21, "release lbutton") + At(start + 22, "move 320 240");
        if (switching && page + 1 == kScene3DPage) script += At(start + 7, "lose-surfaces");
        // The music page is captured with CD track 2 playing: its span comes from the disc image.
        if (page + 1 == kMusicPage) script += At(start + 3, "press 0x32") + At(start + 4, "release 0x32");
        script += At(start + kCaptureAt, "capture page" + std::to_string(page + 1) + ".png");
        script += At(start + kFramesPerPage - 2, "press right") + At(start + kFramesPerPage - 1, "release right");
    }
    return script + At(kPages * kFramesPerPage + 5, "press esc");
}

class Showcase : public ::testing::TestWithParam<bool> {};

TEST_P(Showcase, EveryPageDrawsItsGoldenPicture) {
    const fs::path dir = fs::temp_directory_path() / ("showcase-" + std::to_string(getpid()) + "-" +
                                                      (GetParam() ? "switching" : "straight"));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string disc = std::string(KORVEN_BIN_DIR) + "/showcase-data/tones.cue";
    const RunResult r = RunProgram("showcase", "--capture-dir=. --cd-image=" + disc, PagingScript(GetParam()), dir);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    // Every loader found its picture.
    EXPECT_EQ(r.output.find(ShiftJisToUtf8("失敗")), std::string::npos) << r.output;
    for (int page = 1; page <= kPages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const std::string name = "page" + std::to_string(page) + ".png";
        ExpectFrameMatchesGolden(dir / name, fs::path(KORVEN_SOURCE_DIR) / "tests/examples/golden" / name,
                                 FrameText::InstalledFonts);
    }
    fs::remove_all(dir);
}

// The network page joins a peer's session through the selection screens and
// sends its pointer to the peer.
TEST(ShowcaseNetworkPage, JoinsARoomThroughTheScreensAndSendsItsPointer) {
    const int port = TestSessionPort();
    std::unique_ptr<ChildProcess> host = StartFrameworkPeer(port);
    ASSERT_EQ(host->Ask("host Room 8 44"), "ok");
    ASSERT_EQ(host->Ask("player alice"), "ok");
    // Right to the network page (a press every fourth frame, so that every
    // one is seen); N; "Local machine"; join; "Room 1/8".
    std::string script = "0 move 320 240\n";
    for (int page = 1; page < kNetworkPage; ++page)
        script += std::to_string(4 * page) + " press right\n" + std::to_string(4 * page + 2) + " release right\n";
    script += "46 press N\n47 release N\n" + DoubleClickRow(50, 1) + DoubleClickRow(54, 0) + DoubleClickRow(58, 0) +
              "70 move 200 300\n120 press esc\n";
    const RunResult r = RunProgram("showcase", "--dplay-port=" + std::to_string(port), script);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Session[Room 1/8]"), std::string::npos) << r.output;
    const std::vector<std::string> heard =
        host->Ask("expect 3 3000", [](const std::string& line) { return line == "end"; });
    ASSERT_GE(heard.size(), 3u);
    EXPECT_EQ(heard[0].rfind("create Player ", 0), 0u) << heard[0];
    EXPECT_EQ(heard[1].rfind("msg Player ", 0), 0u) << heard[1];
}

INSTANTIATE_TEST_SUITE_P(Showcase, Showcase, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "AfterTwoScreenSwitchesOnEachPage" : "Straight"; });

}  // namespace
