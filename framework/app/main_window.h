// The main window and its window procedure.
#pragma once

#include "platform/win/win.h"

constexpr const char* MAIN_WINDOW_CLASS = "Class Korven";

int CreateMainWindow();
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The screen-saver command line and preview (screen_saver.cpp).
int ParseScreenSaverArgs();
void RunScreenSaverPreview(HWND parent);
LRESULT PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
