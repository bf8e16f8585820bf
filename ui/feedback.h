// The operator feedback services: console, progress indicator, waits and the abort flag.
// Every layer reports through these; the console is the only log.
#pragma once

#include <atomic>
#include <cstdint>

// The main dialog's handle, recorded by the dialog before anything can log. While it is
// empty the screen operations do nothing.
extern void* dialog_handle;

// Set to 1 by the Abort button (dialog thread), cleared by the command worker before each
// command, read by the whole-image operations after every byte. A relaxed atomic byte: a
// read costs what a memory read costs.
extern std::atomic<std::uint8_t> abort_requested;

inline bool abort_is_requested() {
    return abort_requested.load(std::memory_order_relaxed) != 0;
}
inline void request_abort() {
    abort_requested.store(1, std::memory_order_relaxed);
}
inline void clear_abort() {
    abort_requested.store(0, std::memory_order_relaxed);
}

// Appends one line to the console; the console keeps its own copy.
void console_log(const char* text);

// steps != 0: the range becomes 0 to (steps + 1) mod 65536. In every case the position
// becomes 0, so progress_begin(0) empties the indicator and keeps its range.
void progress_begin(std::uint32_t steps);

// Advances the position by exactly 1.
void progress_step();

// Suspends the calling thread for ms milliseconds.
void sleep_ms(std::uint32_t ms);

// What went wrong during the current command, for the front ends that report it (the
// command line's exit status). Worker thread only; cleared before each command.
enum OperationFault : std::uint8_t {
    fault_mismatch = 1, // a blank check or verify found a difference
    fault_file = 2,     // a file could not be opened, read or written
    fault_bus = 4,      // the bus misbehaved: handshake errors, time-outs, no port
};
extern std::uint8_t operation_faults;
inline void note_fault(OperationFault fault) {
    operation_faults = static_cast<std::uint8_t>(operation_faults | fault);
}
