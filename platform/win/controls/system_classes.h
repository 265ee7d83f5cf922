// The window procedures of the platform's own window classes.
#pragma once

#include "platform/win/win.h"

// The class of dialog frames.
constexpr const char* DIALOG_CLASS = "#32770";

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
