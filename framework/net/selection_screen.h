// The selection screens' common part: a caption line and a list box over the
// main window, and a message loop of their own until an entry is chosen.
#pragma once

// What a screen's owner makes of the chosen entry: a result that ends the
// screen, or SELECTION_WAIT_AGAIN to wait for another choice.
constexpr int SELECTION_WAIT_AGAIN = -2;
using SelectionHandler = int (*)(int chosen);

// Shows the caption and the entries (the list box adds the cancel entry,
// whose index is count) and returns what the handler made of the chosen
// entry, or quitResult when the message loop met WM_QUIT, which it posts
// again so that the program's main loop ends too.
int RunSelectionScreen(const char* caption, int count, const char* const* entries, SelectionHandler handler,
                       int quitResult);
