// LPC memory read and write cycles, clock by clock, through the cable's line routines.
#pragma once

#include <cstdint>

// Nibble codes of LPC memory cycles.
inline constexpr std::uint8_t lpc_start = 0x0;
inline constexpr std::uint8_t lpc_cyctype_read = 0x4;
inline constexpr std::uint8_t lpc_cyctype_write = 0x6;
inline constexpr std::uint8_t lpc_tar = 0xF; // host turn-around and idle: LAD all high
inline constexpr std::uint8_t lpc_sync_ready = 0x0;
inline constexpr std::uint8_t lpc_sync_short_wait = 0x5;
inline constexpr std::uint8_t lpc_sync_long_wait = 0x6;

// Wait SYNC clocks (0x5 or 0x6) after which the engine gives up on a cycle. LPC devices
// answer in a few clocks; a flash chip needs none at all. 4096 clocks take about 50 ms on
// a real port and end a cycle on a chip that keeps answering "wait".
inline constexpr std::uint32_t sync_wait_limit = 4096;

// Handshake faults (unexpected SYNC nibbles, SYNC time-outs) since the last bus_reset,
// that is, in the current chip operation. Only the first few are logged line by line.
inline constexpr std::uint32_t bus_error_lines_shown = 8;
extern std::uint32_t bus_error_count;

// Bus address = 0xFFFC0000 + (segment & 3) * 0x10000 + offset.
void lpc_mem_write(std::uint16_t segment, std::uint16_t offset, std::uint8_t value);
std::uint8_t lpc_mem_read(std::uint16_t segment, std::uint16_t offset);

// Leaves the bus at 0x70 (clock and frame high, LAD 0, release clear) after a 1 ms wait,
// and starts a new count of handshake faults. Once at the start of every chip operation.
void bus_reset();

// Logs, when the current operation saw handshake faults, one line saying that its result
// cannot be trusted. The operations call it after their end line.
void report_bus_errors();

// The building blocks, exposed for the tests.
void send_cycle_header(std::uint16_t segment, std::uint16_t offset, std::uint8_t cycle_type);
void clock_out_pair(std::uint8_t first, std::uint8_t second);
std::uint8_t clock_in_nibble();
std::uint8_t clock_in_byte();
