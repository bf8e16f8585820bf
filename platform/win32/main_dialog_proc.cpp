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

constexpr int main_dialog_template_id = 1;

void initialise(HWND dialog) {
    closing = false;
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
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(main_dialog_template_id),
                        nullptr, main_dialog_proc, 0);
    if (result == -1) {
        std::fprintf(stderr, "The main dialog could not be created (error %lu)\n",
                     static_cast<unsigned long>(GetLastError()));
    }
    return static_cast<int>(result);
}
