// The windows of this process, shared by the window and message-queue code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

#include "platform/gdi/pixel_buffer.h"

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
    uint64_t nativeId = 0;              // another program's window that this object stands for
    std::vector<uint32_t> paintPixels;  // what a window inside such a window painted
    // The states the controls' and dialogs' code keeps for this window, one per
    // kind (a dialog frame may also be a list box when its template says so).
    std::vector<std::pair<std::type_index, std::shared_ptr<void>>> states;
};

HWND MainWindow();
// A window class the platform itself provides ("LISTBOX", "EDIT", ...), or null.
const WNDCLASSEXA* FindSystemClass(const char* className);
// Every live window, in creation order.
std::vector<HWND> LiveWindows();
bool IsLiveWindow(HWND window);
void DiscardMessagesFor(HWND window);
// Windows inside another program's window paint into a buffer of their own
// (0x00RRGGBB pixels) that is then shown there. False for other windows.
bool GetWindowPaintBuffer(HWND window, PixelBuffer* pixels);
void ShowWindowPaint(HWND window);

// Forgets every class, window and message (between tests in one process).
void ResetWindowTable();
void ResetMessageQueue();
