// Finding a running instance of a program by its main window's class name:
// one registration per user, desktop and class, visible to other processes.
#pragma once

#include "platform/win/win.h"

// Marks this process as the running instance of className (first one wins).
void RegisterRunningInstance(const char* className);
// True when another process holds the registration for className.
bool IsInstanceRunningElsewhere(const char* className);
// The handle FindWindowA gives for another process's window.
HWND ForeignInstanceWindow();
