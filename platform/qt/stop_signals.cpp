#include "platform/qt/stop_signals.h"

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler only writes a byte into this pipe; the dialog thread reads it.
int stop_pipe[2] = {-1, -1};

constexpr int stop_signals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void on_stop_signal(int) {
    const char byte = 1;
    // Nothing else is safe here; a full pipe already holds a pending stop.
    [[maybe_unused]] const ssize_t written = write(stop_pipe[1], &byte, 1);
}

} // namespace

bool watch_stop_signals() {
    if (pipe2(stop_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal_number : stop_signals) {
        sigaction(signal_number, &action, nullptr);
    }
    return true;
}

void close_on_stop_signal(QWidget* window) {
    if (stop_pipe[0] < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(stop_pipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char bytes[16];
        while (read(stop_pipe[0], bytes, sizeof bytes) > 0) {
        }
        window->close();
    });
}
