// The frame of a platform dialog: its dialog procedure and how it ended.
#pragma once

#include "platform/win/win.h"

void AttachDialogProc(HWND dialog, DLGPROC proc);
bool DialogHasEnded(HWND dialog);
INT_PTR DialogResult(HWND dialog);
// Runs a dialog's message loop until it ends; its result, -1 when the dialog
// went away otherwise. The dialog is destroyed afterwards.
INT_PTR RunModalDialog(HWND dialog);
