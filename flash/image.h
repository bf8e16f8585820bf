// Whole-image operations over the chip's 262,144 bytes, and the image file.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t image_size = 262144;

// 1 when every byte read 0xFF; 0 when one differed or the operation was aborted.
int blank_check();

// Reads the whole chip into the file at `path`.
void dump_to_file(const char* path);

// Programs the chip from the 262,144-byte window of the file at `path`: its first bytes,
// or with from_end its last ones (a shorter file: its first bytes, then 0xFF).
void program_from_file(const char* path, bool from_end);

// Compares the chip with the same window; 1 when every byte matched.
int verify_against_file(const char* path, bool from_end);

// Faults of the image file, each a console line and fault_file for the command's result:
// a path that cannot be opened, or names a folder, pipe, socket or disk device (and, for
// reading, any device), is refused before any bus cycle; a read error of the file (not its
// end) stops programming or verifying at that address; a failed write stops the dump, and
// a failed close is reported too, so an incomplete image file never ends like a complete
// one. After a walk, every operation logs the engine's line about bus errors when the bus
// misbehaved, after its own end line.
