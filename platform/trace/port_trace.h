// The port-access trace: a wrapper around whatever port backend is installed (the real
// port or the simulated chip) that writes one text line per access, for cable debugging:
//   W 378 3F   a write of 0x3F to port 0x378
//   R 379 78   a read of port 0x379 that gave 0x78
//   S 1        sleep_ms(1) (milliseconds in decimal)
// Port addresses are upper-case hexadecimal without leading zeros, values two upper-case
// hexadecimal digits. Output is buffered; errors are collected and reported on close.
#pragma once

#include <cstdint>
#include <string>

// Starts the trace into `path` (created or truncated) around the current port_backend.
// False, with the reason in *error, when the file cannot be opened or a trace is
// already running.
bool port_trace_open(const char* path, std::string* error);

// Records a sleep; the platform_sleep_ms realisations call it before they sleep. Nothing
// happens while no trace runs.
void port_trace_sleep(std::uint32_t ms);

// Puts the traced backend back in place, flushes and closes the file. False, with the
// reason in *error, when any write of the trace failed (a full disk, say): the trace is
// then incomplete. True when no trace was running.
bool port_trace_close(std::string* error);

bool port_trace_running();
