// Kernel handles, auto- and manual-reset events, threads and waits with
// time-outs, under the Windows names.
//
// On the headless backend time is the virtual clock: it only moves while every
// thread made by CreateThread is blocked in a wait (or has ended), so a run is
// repeatable. A wait on any other thread (the program's main thread) that
// cannot be satisfied yet lets the virtual clock run, millisecond by
// millisecond, until an object is signalled or the time-out passes; time-outs
// of waits on threads made here count in virtual milliseconds too.
#pragma once

#include "platform/win/kernel_object.h"
#include "platform/win/win.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(void* parameter);

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD STILL_ACTIVE = 259;

// Events: security attributes and names are not supported (pass null).
HANDLE CreateEventA(void* security, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// Threads: the default stack; creation flags must be 0 (start at once).
HANDLE CreateThread(void* security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD creationFlags, DWORD* threadId);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);

// Waits on events and threads (a thread is signalled once it has ended). The
// handles close with CloseHandle; a running thread goes on without its handle.
// Results: WAIT_OBJECT_0 + index, WAIT_TIMEOUT, or WAIT_FAILED for bad
// arguments.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll, DWORD milliseconds);

// For the headless backend: blocks until every thread made by CreateThread
// waits or has ended (the virtual clock may then move), and wakes the waits
// whose virtual time-out has passed at the clock value now.
void WaitForIdleThreads();
void ExpireVirtualTimeouts(DWORD now);

// Sleep on a thread made by CreateThread while the clock is virtual: a wait
// on nothing for that many virtual milliseconds. False (nothing done) in every
// other case, where Sleep is the backend's.
bool SleepAsVirtualWait(DWORD milliseconds);
