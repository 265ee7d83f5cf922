// Dialogs drawn in the window: the file dialogs, the text-input dialog (type
// Japanese through the desktop's input method), and a selection screen of a
// caption and a list box ending in its cancel entry.
#include <cstring>
#include <iterator>

#include "examples/showcase/showcase.h"
#include "framework/app/app.h"
#include "framework/dialog/dialogs.h"
#include "framework/draw/draw.h"
#include "framework/draw/gdi_draw.h"
#include "framework/input/input.h"

namespace {

char gPath[FILE_PATH_SIZE] = "";
char gText[INPUT_TEXT_SIZE] = "";
const char* const kColours[] = {"赤", "緑", "青", "黄色", "紫"};
int gChoice = -1;

// The selection screen: a caption over a list box, until an entry is chosen.
void ChooseColour() {
    HWND caption = CreateStaticText(40, 60, 560, 32, "好きな色を選んで下さい。");
    HWND list = CreateListBox(40, 92, 560, 300, static_cast<int>(std::size(kColours)), kColours);
    gApp.listSelection = -1;
    MSG msg;
    while (gApp.listSelection == -1) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    gChoice = gApp.listSelection;
    DestroyWindow(caption);
    DestroyWindow(list);
}

void DialogsFrame(int) {
    if (KeyState('F') == KEY_PRESSED) FileDialog(gPath, "テキスト", "txt", 0);
    if (KeyState('S') == KEY_PRESSED) FileDialog(gPath, "テキスト", "txt", 1);
    if (KeyState('I') == KEY_PRESSED) InputTextDialog(gText, sizeof gText, 160, 220, 320, 24);
    if (KeyState('L') == KEY_PRESSED) ChooseColour();
    DrawBackdrop();
    PrintText(16, 36, "F: open a file   S: save a file   I: type a line   L: choose from a list");
    PrintText(16, 80, "file:  %s", gPath[0] ? gPath : "(none)");
    PrintText(16, 104, "text:  %s", gText);
    const bool colour = gChoice >= 0 && gChoice < static_cast<int>(std::size(kColours));
    PrintText(16, 128, "list:  %s", gChoice < 0 ? "(none)" : colour ? kColours[gChoice] : "ｷｬﾝｾﾙ");
}

}  // namespace

const ShowcasePage kDialogPage = {"Dialogs in the window", nullptr, DialogsFrame};
