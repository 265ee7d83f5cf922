// The platform's controls driven by desktop input as the backends post it:
// list boxes, the edit line, typed text, dialog templates and modal dialogs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/backend.h"
#include "platform/win/controls/control_input.h"
#include "platform/win/controls/dialog_template.h"
#include "platform/win/global_memory.h"
#include "platform/win/platform.h"
#include "platform/win/win.h"
#include "tests/framework/headless_fixture.h"

namespace {

std::vector<WPARAM> gCommands;        // WM_COMMAND wParams the main window got
std::vector<UINT> gMainPointer;       // pointer messages that stayed with it

LRESULT MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) gCommands.push_back(wParam);
    if (message == WM_LBUTTONDOWN) gMainPointer.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

class Controls : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = MainProc;
        wc.lpszClassName = "Controls Test";
        ASSERT_NE(RegisterClassExA(&wc), 0);
        main_ = CreateWindowExA(0, "Controls Test", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(main_, nullptr);
        gCommands.clear();
        gMainPointer.clear();
    }
    HWND Child(const char* className, DWORD style, int x, int y, int width, int height, int id) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, x, y, width, height, main_,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    static void Click(int x, int y) {
        PostDesktopMessage(WM_LBUTTONDOWN, 1, MAKELPARAM(x, y));
        PostDesktopMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    static void Key(int key) {
        PostDesktopMessage(WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        Pump();
    }
    static void KeyWith(int modifier, int key) {
        SetKeyDown(modifier, true);
        Key(key);
        SetKeyDown(modifier, false);
    }
    static const char* Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }
    static std::string Text(HWND window) {
        char text[256];
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    HWND main_ = nullptr;
};

TEST_F(Controls, ListBoxRowsSelectionAndTheClicksDoubleClicksAndEnterThatNotifyItsParent) {
    HWND list = Child("listbox", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 10, 20, 200, 100, 1);
    ASSERT_NE(list, nullptr) << "class names are found case-insensitively";
    for (const char* row : {"a", "b", "ｷｬﾝｾﾙ"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "nothing selected at first";
    char text[16] = {};
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text)), 5) << "half-width kana: one byte each";
    EXPECT_STREQ(text, "ｷｬﾝｾﾙ");
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 3, reinterpret_cast<LPARAM>(text)), LB_ERR);
    const int rowY = 20 + 1 + 18 + 9;  // the middle of row 1
    Click(50, rowY);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetFocus(), list) << "a click gives the list the focus";
    EXPECT_EQ(gCommands, (std::vector<WPARAM>{MAKEWPARAM(1, LBN_SELCHANGE)}));
    Click(51, rowY + 1);  // the same place soon after: a double-click
    EXPECT_EQ(gCommands.back(), MAKEWPARAM(1, LBN_DBLCLK));
    Key(VK_DOWN);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    gCommands.clear();
    Key(VK_RETURN);
    EXPECT_EQ(gCommands, (std::vector<WPARAM>{MAKEWPARAM(1, LBN_DBLCLK)})) << "Enter chooses like a double-click";
    Click(300, 300);
    EXPECT_EQ(gMainPointer.size(), 1u) << "a click beside the list stays with the main window";
    Sleep(600);
    Click(50, rowY);
    Click(50, rowY + 100);  // below the rows: no row, no double-click
    EXPECT_EQ(gCommands.back(), MAKEWPARAM(1, LBN_SELCHANGE));
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 7, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR) << "a bad index clears the selection";
}

TEST_F(Controls, ListBoxScrollsWithKeysWheelAndScrollBar) {
    HWND list = Child("LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0, 0, 200, 2 + 5 * 18, 1);
    for (int i = 0; i < 20; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
    SetFocus(list);
    Key(VK_END);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 19);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 15) << "five rows show; the last one is in view";
    SetPointerClientPosition(20, 20);
    PostWheel(WHEEL_DELTA);
    Pump();
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 12) << "a notch away from the user scrolls up three rows";
    Key(VK_PRIOR);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 14);
    Click(200 - 8, 4);  // the scroll bar's up arrow
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 11);
    Click(200 - 8, 2 + 5 * 18 - 20);  // the track below the thumb: a page down
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 15);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 14) << "scrolling leaves the selection";
}

TEST_F(Controls, TypedTextEntersAsShiftJisAndRefusesWhatHasNoShiftJisForm) {
    size_t refused = 0;
    const std::string typed = std::string(Utf8(u8"名前a😀")) + "\xFF";
    EXPECT_EQ(Utf8ToShiftJis(typed.c_str(), &refused), "\x96\xBC\x91\x4F" "a");
    EXPECT_EQ(refused, 2u) << "the emoji and the stray byte";
    HWND edit = Child("EDIT", WS_BORDER | ES_AUTOHSCROLL, 0, 0, 200, 24, 1000);
    Click(5, 5);
    ASSERT_EQ(GetFocus(), edit);
    const char* soHyouB = Utf8(u8"ソ表b😀");
    PostTypedText(soHyouB);  // both double-byte characters end in a 0x5C byte
    Pump();
    EXPECT_EQ(Text(edit), "\x83\x5C\x95\x5C" "b");
    Key(VK_LEFT);
    KeyWith(VK_SHIFT, VK_HOME);
    KeyWith(VK_CONTROL, 'C');
    const std::string copied = Utf8(u8"ソ表");
    EXPECT_EQ(Backend().clipboardText(), copied) << "the selection is copied as UTF-8";
    Key(VK_DELETE);
    EXPECT_EQ(Text(edit), "b");
    KeyWith(VK_CONTROL, 'V');
    EXPECT_EQ(Text(edit), "\x83\x5C\x95\x5C" "b");
    Key(VK_BACK);
    EXPECT_EQ(Text(edit), "\x83\x5C" "b") << "Backspace removes a whole double-byte character";
    char three[3];
    EXPECT_EQ(GetDlgItemTextA(main_, 1000, three, sizeof three), 2u);
    EXPECT_STREQ(three, "\x83\x5C");
    char two[2];
    EXPECT_EQ(GetDlgItemTextA(main_, 1000, two, sizeof two), 0u) << "never half a character";
    EXPECT_TRUE(SetDlgItemTextA(main_, 1000, "new"));
    EXPECT_EQ(Text(edit), "new");
}

TEST_F(Controls, AnEditWithoutAutoScrollRefusesTextThatDoesNotFit) {
    HWND edit = Child("EDIT", WS_BORDER, 0, 0, 40, 24, 7);
    SetFocus(edit);
    PostTypedText("abcdefghijklmnop");
    Pump();
    const std::string kept = Text(edit);
    EXPECT_TRUE(kept.size() > 2 && kept.size() < 16) << kept;
    EXPECT_EQ(kept, std::string("abcdefghijklmnop").substr(0, kept.size()));
    Key(VK_TAB);
    EXPECT_EQ(GetFocus(), edit) << "Tab with no other control keeps the focus";
}

// A template of a titled dialog with two items: an ordinal BUTTON with
// creation data, and an EDIT named by a string.
std::vector<uint8_t> TwoItemTemplate() {
    std::vector<uint8_t> t;
    auto word = [&](uint16_t w) { t.push_back(w & 0xFF); t.push_back(w >> 8); };
    auto dword = [&](uint32_t d) { word(d & 0xFFFF); word(d >> 16); };
    auto text = [&](const char16_t* s) { for (; *s; ++s) word(*s); word(0); };
    auto align = [&] { while (t.size() % 4) t.push_back(0); };
    dword(WS_POPUP | WS_VISIBLE); dword(0); word(2);
    word(10); word(20); word(100); word(50);
    word(0); word(0); text(u"題名");
    align(); dword(WS_CHILD | WS_VISIBLE); dword(0); word(1); word(2); word(30); word(12); word(IDOK);
    word(0xFFFF); word(0x0080); text(u"OK"); word(4); word(0xABCD);
    align(); dword(WS_CHILD | WS_VISIBLE | WS_BORDER); dword(0); word(0); word(20); word(100); word(14); word(1000);
    text(u"Edit"); word(0); word(0);
    return t;
}

TEST(DialogTemplates, AreReadExactlyRefusedPastTheirBlockAndTheirAnsiTextBecomesUtf16) {
    const std::vector<uint8_t> t = TwoItemTemplate();
    DialogTemplate parsed;
    ASSERT_TRUE(ParseDialogTemplate(t.data(), t.size(), &parsed));
    ASSERT_EQ(parsed.items.size(), 2u);
    EXPECT_EQ((std::vector<std::string>{parsed.title, parsed.items[0].className, parsed.items[0].title, parsed.items[1].className}),
              (std::vector<std::string>{"\x91\xE8\x96\xBC", "BUTTON", "OK", "Edit"}));
    EXPECT_EQ((std::vector<int>{parsed.header.cx, parsed.items[1].header.id, parsed.items[1].header.y}),
              (std::vector<int>{100, 1000, 20}));
    for (size_t cut = 0; cut < t.size(); cut += 7)
        EXPECT_FALSE(ParseDialogTemplate(t.data(), cut, &parsed)) << "cut at " << cut;
    std::vector<uint8_t> extended = t;
    extended[0] = 1, extended[1] = 0, extended[2] = 0xFF, extended[3] = 0xFF;
    EXPECT_FALSE(ParseDialogTemplate(extended.data(), extended.size(), &parsed)) << "DLGTEMPLATEEX";
    // ANSI text becomes UTF-16.
    EXPECT_EQ(GetACP(), 932u);
    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x96\xBC" "A", -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(GetACP(), 0, "\x96\xBC" "A", -1, wide, 8), 3);
    EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"名A\0", 3));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, wide, 2), 0) << "too small a buffer";
}

struct SeenInDialog { RECT frame, edit; bool editFocused; } gSeenInDialog;

INT_PTR EnterClosingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        GetWindowRect(dialog, &gSeenInDialog.frame);
        GetWindowRect(GetDlgItem(dialog, 1000), &gSeenInDialog.edit);
        HWND button = GetDlgItem(dialog, IDOK);
        PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 1);  // asks for IDCANCEL, which this dialog ignores
        PostMessageA(button, WM_KEYDOWN, VK_RETURN, 1);
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        gSeenInDialog.editFocused = GetFocus() == GetDlgItem(dialog, 1000);
        EndDialog(dialog, 42);
        return 1;
    }
    return 0;
}

// A template is read from a plain pointer, or from a global block no further than the block.
TEST_F(Controls, ModalDialogsPlaceTheirItemsInDialogUnitsAndEndThroughTheirProcedure) {
    const std::vector<uint8_t> t = TwoItemTemplate();
    const LONG units = GetDialogBaseUnits();
    const int bx = LOWORD(static_cast<uint32_t>(units)), by = HIWORD(static_cast<uint32_t>(units));
    ASSERT_TRUE(bx > 0 && by > 0);
    const auto* dialog = reinterpret_cast<const DLGTEMPLATE*>(t.data());
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, dialog, main_, EnterClosingProc, 0), 42);
    const RECT& frame = gSeenInDialog.frame;
    const RECT& edit = gSeenInDialog.edit;
    EXPECT_EQ((std::vector<LONG>{frame.left, frame.right - frame.left, edit.top, edit.bottom - edit.top}),
              (std::vector<LONG>{(10 * bx + 2) / 4, (100 * bx + 2) / 4, (20 * by + 4) / 8, (14 * by + 4) / 8}));
    EXPECT_FALSE(gSeenInDialog.editFocused) << "the first control (the button) has the focus";
    EXPECT_EQ(GetDlgItem(main_, 1000), nullptr);
    for (const UINT flags : {0u, static_cast<UINT>(GMEM_MOVEABLE)}) {
        for (const size_t size : {t.size(), t.size() - 2, size_t{6}, size_t{0}}) {
            SCOPED_TRACE(testing::Message() << "flags " << flags << ", " << size << " bytes");
            HGLOBAL block = GlobalAlloc(flags, size);
            ASSERT_NE(block, nullptr);
            auto* bytes = static_cast<uint8_t*>(flags ? GlobalLock(block) : block);
            if (size > 0) std::memcpy(bytes, t.data(), size);
            size_t left = 0;
            if (size > 1) { EXPECT_TRUE(GlobalBlockBytesFrom(bytes + 1, &left) && left == size - 1) << left; }
            const INT_PTR result =
                DialogBoxIndirectParamA(nullptr, reinterpret_cast<const DLGTEMPLATE*>(bytes), main_, EnterClosingProc, 0);
            EXPECT_EQ(result, size == t.size() ? 42 : -1) << "a template cut short by its block is refused";
            GlobalFree(block);
        }
    }
}

}  // namespace
