// The main dialog on Win32: the entry routine runs it modally from the resource, and its
// message handler hands the portable behaviour its messages.
#include "platform/platform.h"
#include "platform/win32/win32_dialog.h"
#include "platform/win32/worker_thread.h"
#include "ui/feedback.h"
#include "ui/main_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<bool> closing{false};

// The dialog while it runs, for the console's signals; set when the dialog has ended.
std::atomic<HWND> running_dialog{nullptr};
HANDLE dialog_ended = nullptr;

constexpr int main_dialog_template_id = 1;

void initialise(HWND dialog) {
    closing = false;
    running_dialog = dialog;
    InitCommonControls();
    if (!main_dialog_initialise(dialog)) {
        std::fprintf(stderr, "The command worker could not be started (error %lu)\n",
                     static_cast<unsigned long>(GetLastError()));
        EndDialog(dialog, 0);
    }
}

// Closing ends the dialog only once the worker has stopped: a running operation is
// aborted (it stops after its current byte and closes its file), queued commands are
// dropped, and the worker's last console lines are still carried out meanwhile.
void close(HWND dialog) {
    if (closing.exchange(true)) {
        return; // a second close request while the worker finishes
    }
    worker_drop_queued_commands();
    request_abort();
    worker_thread_stop();
    EndDialog(dialog, 0);
}

// Ctrl+C, Ctrl+Break and closing the console window close the dialog as its close button
// does, so that a running operation stops after its current byte and closes its file.
BOOL WINAPI close_on_console_signal(DWORD signal) {
    const HWND dialog = running_dialog;
    if (dialog == nullptr) {
        return FALSE; // no dialog: the default handling ends the process
    }
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (signal != CTRL_C_EVENT && signal != CTRL_BREAK_EVENT) {
        // Windows ends the process when this returns (for a closed console, after five
        // seconds at the latest): give the dialog that time to end.
        WaitForSingleObject(dialog_ended, 4500);
    }
    return TRUE;
}

} // namespace

bool main_dialog_closing() {
    return closing;
}

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise(dialog);
        return TRUE; // the platform gives the focus to the first control with a tab stop
    case WM_CLOSE:
        close(dialog);
        return TRUE;
    case WM_COMMAND:
        // Operation buttons go to the worker, Abort raises the flag; Enter (IDOK),
        // Escape (IDCANCEL) and notifications do nothing.
        main_dialog_command(static_cast<std::uintptr_t>(wparam),
                            static_cast<std::intptr_t>(lparam));
        return FALSE;
    default:
        return FALSE;
    }
}

int run_main_dialog() {
    // The progress bar's class must exist before the template's controls are created.
    InitCommonControls();
    dialog_ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(close_on_console_signal, TRUE);
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(main_dialog_template_id),
                        nullptr, main_dialog_proc, 0);
    running_dialog = nullptr;
    if (dialog_ended != nullptr) {
        SetEvent(dialog_ended);
    }
    if (result == -1) {
        std::fprintf(stderr, "The main dialog could not be created (error %lu)\n",
                     static_cast<unsigned long>(GetLastError()));
    }
    return static_cast<int>(result);
}
