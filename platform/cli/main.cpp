// velmora-cli: the same start-up as the dialog (port access, cable probe, nibble driver),
// then one command through the command worker's table, run on the main thread.
#include "cable/nibble.h"
#include "platform/cli/cli_arguments.h"
#include "platform/cli/cli_session.h"
#include "platform/cli/exit_status.h"
#include "platform/cli/progress_bar.h"
#include "platform/linux/open_port.h"
#include "ui/feedback.h"
#include "ui/main_dialog.h"
#include "ui/worker.h"

#include <csignal>
#include <unistd.h>

namespace {

// The console and the other screen operations need a dialog handle; the command line's
// "dialog" is its standard streams.
int cli_dialog;

void on_interrupt(int) {
    interrupted.store(true, std::memory_order_relaxed);
    request_abort();
}

void install_signal_handlers() {
    // A second Ctrl-C ends the program at once: the first may meet an operation that does
    // not poll the flag (Chip ID on a very slow bus, say).
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A console reader that went away must not end the run half-way through a chip
    // operation: the write fails instead, and the exit status says so.
    std::signal(SIGPIPE, SIG_IGN);
}

void run_one_command(int id) {
    command_begin();
    // A Ctrl-C before the command started survives the worker's clearing of the flag, and
    // the command does not start at all.
    if (interrupted.load(std::memory_order_relaxed)) {
        request_abort();
    }
    if (!abort_is_requested()) {
        command_entry(id);
    }
    command_end();
}

} // namespace

int main(int argc, char** argv) {
    CliRequest request;
    const int parsed = parse_cli_arguments(argc, argv, &request);
    if (parsed >= 0) {
        return parsed;
    }
    install_signal_handlers();
    progress_bar_enable(!request.quiet && isatty(STDERR_FILENO) == 1);

    dialog_handle = &cli_dialog;
    open_port_driver();
    const PortFailure open_failure = port_failure;
    init_configuration_controls(dialog_handle);
    run_one_command(request.command_id);
    const std::uint8_t faults = operation_faults;
    progress_bar_end();
    const PortFailure close_failure = close_port();

    return exit_status(RunOutcome{interrupted.load(std::memory_order_relaxed), open_failure, faults,
                                  close_failure, console_output_failed()});
}
