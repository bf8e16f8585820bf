#include "platform/posix/worker_thread.h"

#include "platform/platform.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

std::mutex queue_mutex;
std::condition_variable queue_changed;
std::deque<WorkerMessage> queue;
bool routine_running = false;
std::thread worker;

void run_routine(void (*routine)()) {
    routine();
    const std::lock_guard<std::mutex> lock(queue_mutex);
    routine_running = false;
    queue_changed.notify_all();
}

} // namespace

bool worker_thread_start(void (*routine)()) {
    if (routine == nullptr || worker.joinable()) {
        return false;
    }
    {
        // The queue exists before the thread does: a command posted at once waits for it.
        const std::lock_guard<std::mutex> lock(queue_mutex);
        queue.clear();
        routine_running = true;
    }
    try {
        worker = std::thread(run_routine, routine);
    } catch (const std::system_error&) {
        const std::lock_guard<std::mutex> lock(queue_mutex);
        routine_running = false;
        return false;
    }
    return true;
}

bool worker_post(const WorkerMessage& message) {
    const std::lock_guard<std::mutex> lock(queue_mutex);
    if (!routine_running) {
        return false;
    }
    queue.push_back(message);
    queue_changed.notify_all();
    return true;
}

int worker_take(WorkerMessage* message) {
    std::unique_lock<std::mutex> lock(queue_mutex);
    // A message already queued is taken at once, not only one that arrives later.
    queue_changed.wait(lock, [] { return !queue.empty(); });
    *message = queue.front();
    queue.pop_front();
    return message->message == message_quit ? 0 : 1;
}

bool worker_thread_has_ended() {
    const std::lock_guard<std::mutex> lock(queue_mutex);
    return !routine_running;
}

void worker_thread_stop() {
    if (!worker.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(queue_mutex);
        if (routine_running) {
            queue.push_back(WorkerMessage{message_quit, 0, 0});
            queue_changed.notify_all();
        }
    }
    worker.join();
    const std::lock_guard<std::mutex> lock(queue_mutex);
    queue.clear();
}
