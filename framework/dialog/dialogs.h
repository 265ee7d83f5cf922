// Dialogs built in memory and the framework's list box and caption: a file
// dialog with a one-entry filter, a one-line text-input dialog, and two child
// controls of the main window from which selection screens are built.
#pragma once

#include "platform/win/win.h"

// The control ids of the framework's list box and caption in the main window.
constexpr int LIST_BOX_ID = 1;
constexpr int STATIC_TEXT_ID = 2;
// The input dialog's edit line.
constexpr int INPUT_EDIT_ID = 1000;
constexpr int INPUT_TEXT_SIZE = 256;
constexpr int FILE_PATH_SIZE = 256;

// The text of the last input dialog confirmed with Enter.
extern char gInputText[INPUT_TEXT_SIZE];

// Lets the user choose a file to open (save 0) or to save (save 1) through the
// one filter "description (*.extension)"; nonzero with the path in path
// (FILE_PATH_SIZE bytes), 0 with it empty when cancelled.
int FileDialog(char* path, const char* description, const char* extension, int save);
// Asks for one line of text in a box at (x, y), width x height pixels (at
// least 32 x 16); Enter takes it. Copies the first byteCount bytes (at most
// INPUT_TEXT_SIZE) of gInputText into out.
void InputTextDialog(char* out, int byteCount, int x, int y, int width, int height);
INT_PTR InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The list box (control 1) with the items and a last entry "ｷｬﾝｾﾙ".
HWND CreateListBox(int x, int y, int width, int height, int itemCount, const char* const* items);
// The caption (control 2).
HWND CreateStaticText(int x, int y, int width, int height, const char* text);
