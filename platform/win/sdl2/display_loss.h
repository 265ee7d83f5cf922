// The desktop's display server going away under a running program (the
// session ends, the server dies). Xlib's own reaction is to exit from inside
// whatever call noticed it; the static destructors then call into the dead
// connection and hang or crash. Instead the per-frame calls into the display
// run guarded: when the connection breaks inside one of them, the program
// goes on without a display and is told to close, so it ends the way a closed
// window ends (the editor writes its stages).
#pragma once

#include "platform/win/backend.h"

// Installs the handler for a broken connection when SDL drives an X display.
void WatchDisplayConnection();

// Runs the calls; false when the display was lost during them (the calls were
// cut short) or before. The platform then runs on `DisplayLostBackend`.
bool RunWithDisplay(void (*calls)());

// The backend's table with every call that needs the display made harmless.
const WinBackend& DisplayLostBackend(const WinBackend& live);
