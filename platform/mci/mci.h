// The MCI command-string interface with three devices: the sequencer (MIDI
// files through a SoundFont synthesizer), cdaudio (a disc or a disc image) and
// movies (whatever the video decoder opens), shown in the main window.
#pragma once

#include "platform/win/win.h"

using MCIERROR = DWORD;

constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_UNRECOGNIZED_KEYWORD = MCIERR_BASE + 3;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
constexpr MCIERROR MCIERR_DEVICE_OPEN = MCIERR_BASE + 9;
constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = MCIERR_BASE + 10;
constexpr MCIERROR MCIERR_MISSING_COMMAND_STRING = MCIERR_BASE + 11;
constexpr MCIERROR MCIERR_PARAM_OVERFLOW = MCIERR_BASE + 12;
constexpr MCIERROR MCIERR_BAD_INTEGER = MCIERR_BASE + 14;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = MCIERR_BASE + 17;
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = MCIERR_BASE + 19;
constexpr MCIERROR MCIERR_DEVICE_NOT_READY = MCIERR_BASE + 20;
constexpr MCIERROR MCIERR_OUTOFRANGE = MCIERR_BASE + 26;
constexpr MCIERROR MCIERR_DUPLICATE_ALIAS = MCIERR_BASE + 33;
constexpr MCIERROR MCIERR_NO_CLOSING_QUOTE = MCIERR_BASE + 38;
constexpr MCIERROR MCIERR_INVALID_FILE = MCIERR_BASE + 40;
constexpr MCIERROR MCIERR_NO_WINDOW = MCIERR_BASE + 90;

// Notification codes, the wParam of MM_MCINOTIFY (the lParam is the device id).
constexpr WPARAM MCI_NOTIFY_SUPERSEDED = 2;
constexpr WPARAM MCI_NOTIFY_ABORTED = 4;

// Runs one command; an answer (status queries) goes into returnString,
// zero-terminated and cut to returnLength. A "notify" command reports to
// callback when it completes. 0 or an MCIERR_ code.
MCIERROR mciSendStringA(const char* command, char* returnString, UINT returnLength, HWND callback);

// Moves every playing device on to the clock's time: audio, pictures and the
// completions they reach. The message queue calls it whenever it is polled.
void UpdateMciDevices();

// Closes every device (the platform closing).
void CloseMciDevices();
