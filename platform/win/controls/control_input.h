// Desktop input for the platform's controls (the backends and the queue call these).
#pragma once

#include <cstddef>
#include <string>

#include "platform/win/win.h"

// A desktop message for the main window that belongs to a control: posts it
// there and answers true (or swallows it while a modal dialog is open).
bool RouteToControls(UINT message, WPARAM wParam, LPARAM lParam);
// Text typed on the desktop (UTF-8), as character messages.
void PostTypedText(const char* utf8);
// The wheel turned by delta (WHEEL_DELTA a notch, positive away from the user)
// with the pointer where it is now.
void PostWheel(int delta);
// The input method's composition in progress (UTF-8; empty when it ended).
void SetComposition(const char* utf8);
// Forgets focus, capture and clicks (between tests in one process).
void ResetControlInput();

// UTF-8 to Shift-JIS, character by character; characters without a
// Shift-JIS form (and malformed bytes) are left out and counted in refused.
std::string Utf8ToShiftJis(const char* utf8, size_t* refused);
bool IsShiftJisLeadByte(unsigned char byte);
