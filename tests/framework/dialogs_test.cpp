// The framework's dialogs and selection controls, driven by headless input
// scripts as a user would: typed text, keys, clicks and double-clicks.
#include <cstring>
#include <vector>

#include "framework/dialog/dialogs.h"
#include "platform/win/headless/png_image.h"
#include "tests/framework/scripted_framework.h"

namespace fs = std::filesystem;

namespace {

class Dialogs : public ScriptedFramework {
protected:
    void SetUp() override {
        ScriptedFramework::SetUp();
        previous_ = fs::current_path();
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        ScriptedFramework::TearDown();
    }
    // Scripts are UTF-8, as typed text is.
    void Start(const char8_t* script) { Start(std::string(reinterpret_cast<const char*>(script))); }
    void Start(const std::string& script) { ScriptedFramework::Start(script); }
    // The selection screen's loop: messages until a row is chosen.
    static int WaitForSelection() {
        MSG msg;
        gApp.listSelection = -1;
        while (gApp.listSelection == -1) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) return -2;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return gApp.listSelection;
    }

    fs::path previous_;
};

TEST_F(Dialogs, TheInputDialogTakesTypedTextOnEnterOnlyAndIgnoresEsc) {
    Start(u8"1 type 名前 abc\n2 press esc\n3 release esc\n4 press return\n5 release return\n"
          "10 type lost\n11 press esc\n12 release esc\n");
    char out[8];
    std::memset(out, '#', sizeof out);
    InputTextDialog(out, 4, 100, 60, 200, 24);
    EXPECT_STREQ(gInputText, "名前 abc");
    EXPECT_EQ(std::string(out, 8), std::string("名前") + "####") << "the first four bytes only";
    EXPECT_EQ(gApp.modal, 0);
    EXPECT_TRUE(IsWindow(gApp.hWnd)) << "Esc closed neither the dialog nor the program";

    // Without Enter the last text stays.
    std::strcpy(gInputText, "before");
    char kept[16] = {};
    InputTextDialog(kept, 16, 0, 0, 100, 20);  // the script runs out: the program is closed under the dialog
    EXPECT_STREQ(kept, "before");
}

TEST_F(Dialogs, TheInputDialogIsAtLeast32By16PixelsInDialogUnits) {
    Start("2 capture small.png\n3 press return\n");
    char out[4];
    InputTextDialog(out, 4, 100, 60, 10, 5);
    RgbImage picture;
    std::string error;
    ASSERT_TRUE(ReadPng((folder_ / "small.png").string(), &picture, &error)) << error;
    const LONG units = GetDialogBaseUnits();
    const int bx = LOWORD(static_cast<uint32_t>(units)), by = HIWORD(static_cast<uint32_t>(units));
    // Pixels through dialog units and back, as the template carries them.
    const int left = (100 * 4 / bx * bx + 2) / 4, top = (60 * 8 / by * by + 4) / 8;
    const int width = (32 * 4 / bx * bx + 2) / 4, height = (16 * 8 / by * by + 4) / 8;
    auto white = [&](int x, int y) {
        const uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
        return p[0] == 255 && p[1] == 255 && p[2] == 255;
    };
    // The edit line fills the dialog: a black border around a white inside.
    EXPECT_EQ((std::vector<bool>{white(left, top + height / 2), white(left + 1, top + height / 2),
                                 white(left + width - 2, top + 1), white(left + width - 1, top + height / 2),
                                 white(left + 5, top + height - 2), white(left + 5, top + height - 1)}),
              (std::vector<bool>{false, true, true, false, true, false}));
}

TEST_F(Dialogs, TheListBoxEndsWithTheCancelEntryChosenByDoubleClickOrEnter) {
    // Rows are 18 pixels below a 1-pixel border; the list starts at y = 32.
    auto rowY = [](int row) { return std::to_string(32 + 1 + row * 18 + 9); };
    Start("1 move 100 " + rowY(3) + "\n2 press lbutton\n2 release lbutton\n3 press lbutton\n3 release lbutton\n"
          "10 stall 1000\n10 move 100 " + rowY(1) + "\n11 press lbutton\n11 release lbutton\n"
          "12 press return\n12 release return\n");
    const char* const items[] = {"既存のセッションに参加する", "新規にセッションを作成する", "third"};
    HWND caption = CreateStaticText(0, 0, 640, 32, "セッションの開始方法を選択して下さい。");
    HWND list = CreateListBox(0, 32, 640, 448, 3, items);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ((std::vector<HWND>{GetDlgItem(gApp.hWnd, LIST_BOX_ID), GetDlgItem(gApp.hWnd, STATIC_TEXT_ID)}),
              (std::vector<HWND>{list, caption}));
    EXPECT_EQ((std::vector<LONG>{GetWindowLongA(list, GWL_STYLE), GetWindowLongA(caption, GWL_STYLE)}),
              (std::vector<LONG>{0x50A00001, 0x50000000}));
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
    char last[32] = {};
    SendMessageA(list, LB_GETTEXT, 3, reinterpret_cast<LPARAM>(last));
    EXPECT_STREQ(last, "ｷｬﾝｾﾙ");
    EXPECT_EQ(WaitForSelection(), 3) << "a double-click on the cancel entry";
    EXPECT_EQ(WaitForSelection(), 1) << "a click, then Enter";
    DestroyWindow(caption);
    DestroyWindow(list);
    EXPECT_EQ(GetDlgItem(gApp.hWnd, LIST_BOX_ID), nullptr);
}

class FileDialogs : public Dialogs {
protected:
    void MakeFiles() {
        std::ofstream("0.txt") << "not offered";
        std::ofstream("a.clb") << "stage";
        fs::create_directory("sub");
        std::ofstream("sub/deep.clb") << "deeper";
    }
    std::string Path(const char* name) const { return (fs::canonical(folder_) / name).string(); }
};

// The dialog stands centred: 480 x 330 in 640 x 480; the files list's first
// row is at (276 + 20, 75 + 48 + 10).
constexpr const char* FIRST_FILE = "296 133";
constexpr const char* FIRST_FOLDER_ROW_2 = "100 151";  // ".." is row 0, "sub" row 1

TEST_F(FileDialogs, OpenOffersTheOneFilterRefusesAMissingFileAndGoesIntoFolders) {
    MakeFiles();
    Start(std::string("1 type missing\n2 press return\n2 release return\n3 answer ok\n") +
          "4 move " + FIRST_FILE + "\n5 press lbutton\n5 release lbutton\n6 press lbutton\n6 release lbutton\n" +
          "10 move " + FIRST_FOLDER_ROW_2 + "\n11 press lbutton\n11 release lbutton\n12 press lbutton\n"
          "12 release lbutton\n13 move 200 340\n13 press lbutton\n13 release lbutton\n14 type deep\n"
          "15 press return\n15 release return\n");
    char path[FILE_PATH_SIZE];
    std::memset(path, 'x', sizeof path);
    EXPECT_NE(FileDialog(path, "ステージ", "clb", 0), 0);
    EXPECT_EQ(std::string(path), Path("a.clb")) << "0.txt is not offered: a.clb is the first file";
    EXPECT_NE(Log().find("missing.clb"), std::string::npos) << "the missing file was refused with a message";
    EXPECT_EQ(gApp.modal, 0);
    // Into a folder; the default extension is added.
    EXPECT_NE(FileDialog(path, "ステージ", "clb", 0), 0);
    EXPECT_EQ(std::string(path), Path("sub/deep.clb"));
}

TEST_F(FileDialogs, SaveAsksBeforeReplacingAndCancelLeavesThePathEmpty) {
    MakeFiles();
    Start("1 type a\n2 answer no\n3 press return\n3 release return\n"
          "4 press ctrl\n4 press A\n5 release A\n5 release ctrl\n6 type new\n7 press return\n7 release return\n"
          "20 press esc\n20 release esc\n");
    char path[FILE_PATH_SIZE];
    EXPECT_NE(FileDialog(path, "ステージ", "clb", 1), 0);
    EXPECT_EQ(std::string(path), Path("new.clb"));
    EXPECT_NE(Log().find("a.clb"), std::string::npos) << "asked before replacing a.clb";
    EXPECT_EQ(FileDialog(path, "ステージ", "clb", 1), 0);
    EXPECT_STREQ(path, "");
}

}  // namespace
