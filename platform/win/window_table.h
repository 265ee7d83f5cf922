// The windows of this process, shared by the window and message-queue code.
#pragma once

#include <string>

#include "platform/win/win.h"

struct WindowObject {
    std::string className;
    std::string title;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    int id = 0;  // a child's control id (the menu argument of CreateWindowExA)
    RECT rect{};  // outer = client rectangle, in desktop coordinates
    bool destroyed = false;
};

HWND MainWindow();
bool IsLiveWindow(HWND window);
void DiscardMessagesFor(HWND window);
// Forgets every class, window and message (between tests in one process).
void ResetWindowTable();
void ResetMessageQueue();
