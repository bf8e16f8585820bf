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
