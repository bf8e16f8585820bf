// The flash chip's JEDEC-style command sequences: byte program, block erase, identification.
#pragma once

#include <cstdint>

// Runs the byte-program sequence and returns the byte read back right after the data
// write. The caller resets the bus once before a run of byte programs.
std::uint8_t flash_program_byte(std::uint16_t segment, std::uint16_t offset, std::uint8_t value);

// Resets the bus and erases the 16 blocks of 16 KB in ascending order, waiting for each.
// 1 when every block's erase ended, 0 when one did not end in time or was aborted.
int flash_erase_blocks();

// Resets the bus, reads the manufacturer and device codes, logs "Mfg=0x%x Device=0x%x" and
// returns (manufacturer << 8) | device.
std::uint16_t flash_read_id();
