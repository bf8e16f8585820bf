// What the command line gives the worker in place of the dialog: the Delay constant field
// (--delay), the file read option (--from-start / --from-end) and the prompts' answer
// (the FILE argument).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

struct CliSession {
    std::uint32_t delay = 0;
    bool from_start = false;
    std::string file; // the prompts' answer; empty: the prompt is cancelled
};
extern CliSession cli_session;

// Set by Ctrl-C (SIGINT) and SIGTERM, with abort_requested; never cleared. A lock-free
// atomic: its store is all that the signal handler does besides the abort flag's.
extern std::atomic<bool> interrupted;
static_assert(std::atomic<bool>::is_always_lock_free);

// Whether some console line could not be written to standard output.
bool console_output_failed();
