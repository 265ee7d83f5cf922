// The host-address question: a caption line over the input dialog, both in
// the middle of the main window.
#include "framework/net/address_prompt.h"

#include "framework/app/app.h"
#include "framework/dialog/dialogs.h"

namespace {

constexpr int PROMPT_X = 120, PROMPT_Y = 200, PROMPT_WIDTH = 400, PROMPT_HEIGHT = 24, CAPTION_HEIGHT = 32;

}  // namespace

void AskHostAddress(char* address, int size) {
    HWND caption = CreateStaticText(PROMPT_X, PROMPT_Y - CAPTION_HEIGHT, PROMPT_WIDTH, CAPTION_HEIGHT,
                                    "接続先のアドレスを入力して下さい。\n空欄ならLAN内を検索します。");
    InputTextDialog(address, size, PROMPT_X, PROMPT_Y, PROMPT_WIDTH, PROMPT_HEIGHT);
    DestroyWindow(caption);
}
