// Debug output, message boxes and the modal flag that keeps KeyState quiet
// while a box is open.
#include "framework/dialog/diagnostics.h"

#include <cstdio>
#include <cstring>

#include "framework/app/app.h"
#include "framework/display/display.h"

namespace {

bool IsShiftJisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Drops a lead byte left alone at the end by truncation.
void TrimSplitCharacter(char* text) {
    size_t i = 0, length = std::strlen(text);
    while (i < length) {
        if (IsShiftJisLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 >= length) {
                text[i] = '\0';
                return;
            }
            i += 2;
        } else {
            ++i;
        }
    }
}

}  // namespace

void FormatMessageText(char* buffer, size_t size, const char* format, va_list args) {
    std::memset(buffer, 0, size);
    const int needed = std::vsnprintf(buffer, size, format, args);
    if (needed >= static_cast<int>(size)) TrimSplitCharacter(buffer);
}

void DebugLog(const char* format, ...) {
    char text[MESSAGE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    FormatMessageText(text, sizeof(text), format, args);
    va_end(args);
    OutputDebugStringA(text);
}

void ErrorBox(const char* format, ...) {
    char text[MESSAGE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    FormatMessageText(text, sizeof(text), format, args);
    va_end(args);
    // In full screen the box would stay hidden behind the flipping chain.
    if (IDirectDraw* device = GetDirectDraw()) device->FlipToGDISurface();
    gApp.modal = 1;
    MessageBoxA(gApp.hWnd, text, "メッセージ", MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    gApp.modal = 0;
}

int ConfirmBox(const char* text) {
    gApp.modal = 1;
    const int answer = MessageBoxA(gApp.hWnd, text, "確認", MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL);
    gApp.modal = 0;
    return answer;
}
