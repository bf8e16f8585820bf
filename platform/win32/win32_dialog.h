// The Windows program's main dialog: its message handler, the entry routine that runs it,
// and the orderly end of the command worker when the dialog is closed.
#pragma once

#include <windows.h>

// Runs the main dialog modally from dialog template 1 of this module and returns its
// result: 0, or -1 when the dialog could not be created.
int run_main_dialog();

// The main dialog's message handler.
INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// True from the moment the operator closes the dialog until the process ends. The worker
// then finishes nothing more: its running command is aborted, queued commands are
// dropped and no file prompt is shown.
bool main_dialog_closing();
