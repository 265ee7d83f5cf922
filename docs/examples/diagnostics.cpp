// Diagnostics: debug lines (standard error, and --log=FILE), message boxes
// and yes/no questions. Texts are Shift-JIS: source files are UTF-8 and the
// compiler encodes narrow literals as code page 932.
#include "framework/app/app.h"
#include "framework/dialog/diagnostics.h"

namespace {

void Frame() {
    DebugLog("デバッグ出力: %d\n", 42);  // one line, ending in "\n"
    if (ConfirmBox("続けますか？")) {      // 1 for Yes (a headless run answers Yes unless told)
        ErrorBox("お知らせ");               // a message box with an OK button
    }
    RequestQuit();
}

}  // namespace

const AppConfig gAppConfig = [] {
    AppConfig config = DEFAULT_APP_CONFIG;
    config.fullScreen = 0;
    config.frameProc = Frame;
    return config;
}();
