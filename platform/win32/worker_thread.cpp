#include "platform/win32/worker_thread.h"

#include "platform/platform.h"

#include <windows.h>

#include <atomic>

namespace {

HANDLE worker_thread = nullptr;
DWORD worker_thread_id = 0;
void (*worker_routine)() = nullptr;
HANDLE queue_ready = nullptr;
std::atomic<bool> drop_queued{false};

DWORD WINAPI worker_thread_main(LPVOID) {
    // A thread gets its message queue with its first call to a message function; until
    // then every post to it fails. Create it now and only then let the starter go on.
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(queue_ready);
    worker_routine();
    return 0;
}

bool worker_has_ended() {
    return worker_thread == nullptr || WaitForSingleObject(worker_thread, 0) == WAIT_OBJECT_0;
}

// Carries out every message of the calling thread's queue, including the requests that
// the worker sends to the dialog's controls. A quit message seen here is posted again
// once the wait is over, for the caller's own loop.
bool pump_messages() {
    bool quit_seen = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit_seen = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quit_seen;
}

void wait_for_worker_serving_messages() {
    bool quit_seen = false;
    while (MsgWaitForMultipleObjectsEx(1, &worker_thread, INFINITE, QS_ALLINPUT,
                                       MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
        quit_seen = pump_messages() || quit_seen;
    }
    if (quit_seen) {
        PostQuitMessage(0);
    }
}

} // namespace

bool worker_thread_start(void (*routine)()) {
    if (routine == nullptr || !worker_has_ended()) {
        return false;
    }
    if (worker_thread != nullptr) {
        CloseHandle(worker_thread);
        worker_thread = nullptr;
    }
    queue_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (queue_ready == nullptr) {
        return false;
    }
    worker_routine = routine;
    drop_queued = false;
    worker_thread = CreateThread(nullptr, 0, worker_thread_main, nullptr, 0, &worker_thread_id);
    if (worker_thread != nullptr) {
        // The worker signals as soon as its queue exists, or ends if it cannot go on.
        const HANDLE either[] = {queue_ready, worker_thread};
        WaitForMultipleObjects(2, either, FALSE, INFINITE);
    }
    CloseHandle(queue_ready);
    queue_ready = nullptr;
    return worker_thread != nullptr;
}

bool worker_post(const WorkerMessage& message) {
    if (worker_has_ended()) {
        return false;
    }
    return PostThreadMessageA(worker_thread_id, message.message,
                              static_cast<WPARAM>(message.wparam),
                              static_cast<LPARAM>(message.lparam)) != 0;
}

int worker_take(WorkerMessage* message) {
    for (;;) {
        if (drop_queued) {
            return 0;
        }
        // GetMessageA alone: it returns a message that is already queued at once, where
        // a WaitMessage before it would wait for one that is new.
        MSG taken;
        const BOOL result = GetMessageA(&taken, nullptr, 0, 0);
        if (result == -1) {
            return -1;
        }
        if (result == 0 || drop_queued) {
            return 0;
        }
        if (taken.hwnd != nullptr) {
            // A message for a window of this thread (left behind by a file dialog's
            // helpers, say) belongs to that window, not to the command queue.
            DispatchMessageA(&taken);
            continue;
        }
        *message = WorkerMessage{taken.message, static_cast<std::uintptr_t>(taken.wParam),
                                 static_cast<std::intptr_t>(taken.lParam)};
        return 1;
    }
}

void worker_drop_queued_commands() {
    drop_queued = true;
}

void worker_thread_stop() {
    if (worker_thread == nullptr) {
        return;
    }
    if (!worker_has_ended()) {
        if (!PostThreadMessageA(worker_thread_id, WM_QUIT, 0, 0)) {
            drop_queued = true; // a full queue: the next take ends the worker instead
        }
        wait_for_worker_serving_messages();
    }
    CloseHandle(worker_thread);
    worker_thread = nullptr;
    worker_thread_id = 0;
    drop_queued = false;
}
