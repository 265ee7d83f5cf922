// Message boxes: the text and caption go to the backend as UTF-8; the box is
// also written to the debug output so that a log shows what the user saw.
#include "platform/win/backend.h"
#include "platform/win/debug_output.h"

int MessageBoxA(HWND, const char* text, const char* caption, UINT type) {
    TraceCall("MessageBoxA");
    const std::string body = ShiftJisToUtf8(text ? text : "");
    const std::string title = ShiftJisToUtf8(caption ? caption : "");
    WriteDebugText("[" + title + "] " + body + (body.empty() || body.back() != '\n' ? "\n" : ""));
    return Backend().messageBox(body.c_str(), title.c_str(), type);
}
