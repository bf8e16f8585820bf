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

// The erase blocks: 16 of 16 KB, block i at image position i * 0x4000.
inline constexpr unsigned erase_block_count = 16;
inline constexpr unsigned erase_block_size = 0x4000;

// Pairs of reads after which the toggle poll gives a block up. The SST49LF00x family
// erases a block in 25 ms at most; firmware-hub parts with 64 KB blocks take up to a few
// seconds. One read cycle is about 236 port accesses, so a pair takes about 0.5 ms on a
// port of 1 us per access: 65,536 pairs wait about 30 s (15 s on a port twice as fast),
// more than a thousand times the SST maximum and several times the slowest part's. A
// slower bus (delay constant) only makes the wait longer. The poll also ends when the
// operator asks to abort.
inline constexpr std::uint32_t toggle_poll_pair_limit = 65536;
// A block whose poll reaches the limit, or an abort, stops the erase: a chip still busy
// with one block takes no further command, so the later blocks are not started. The
// erase then returns 0, and also when the bus reported handshake faults.
