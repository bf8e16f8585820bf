// Hand-made line sequences for the simulated cable: the tests of the simulated chip drive
// the data register themselves, not through our cycle engine, so that the chip is
// checked against the LPC framing as written here and not against the engine's reading
// of it.
#pragma once

#include "cable/port.h"
#include "sim/sim.h"

#include <cstdint>
#include <vector>

namespace sim_bus {

constexpr std::uint16_t data_reg = 0x378;
constexpr std::uint16_t status_reg = 0x379;
constexpr std::uint8_t hold = 0x10;       // bit 4, always 1
constexpr std::uint8_t frame_high = 0x20; // LFRAME# deasserted
constexpr std::uint8_t lclk = 0x40;
constexpr std::uint8_t release = 0x80;

inline void set(std::uint8_t value) {
    port_out(data_reg, value);
}

// LAD as the status register shows it.
inline std::uint8_t lad() {
    return static_cast<std::uint8_t>((port_in(status_reg) >> 3) & 0x0F);
}

// The host drives `nibble` with the clock low, then raises the clock.
inline void host_clock(std::uint8_t nibble) {
    set(static_cast<std::uint8_t>(hold | frame_high | nibble));
    set(static_cast<std::uint8_t>(hold | frame_high | lclk | nibble));
}

// The host lets go of LAD, raises the clock and samples after the rise.
inline std::uint8_t chip_clock() {
    set(release | hold | frame_high);
    set(release | hold | frame_high | lclk);
    return lad();
}

// A short LFRAME# pulse while the clock is low, then START and the cycle type.
inline void start(std::uint8_t cycle_type) {
    set(hold);              // frame low, clock low, LAD 0
    host_clock(0x0);        // frame back high, then the START rise
    host_clock(cycle_type); // CYCTYPE
}

inline void address(std::uint32_t bus_address) {
    for (int shift = 28; shift >= 0; shift -= 4) {
        host_clock(static_cast<std::uint8_t>((bus_address >> shift) & 0x0F));
    }
}

inline void host_turn_around() {
    host_clock(0xF);
    host_clock(0xF);
}

inline bool is_wait(std::uint8_t sync) {
    return sync == 0x5 || sync == 0x6;
}

// A whole memory read; returns the byte, and the last SYNC nibble in *sync.
inline std::uint8_t read_byte(std::uint32_t bus_address, std::uint8_t* sync = nullptr) {
    start(0x4);
    address(bus_address);
    host_turn_around();
    std::uint8_t s = chip_clock();
    for (int waits = 0; is_wait(s) && waits < 100000; ++waits) {
        s = chip_clock();
    }
    const std::uint8_t low = chip_clock();
    const std::uint8_t high = chip_clock();
    chip_clock();
    chip_clock();
    if (sync != nullptr) {
        *sync = s;
    }
    return static_cast<std::uint8_t>(low | high << 4);
}

// A whole memory write; returns the last SYNC nibble.
inline std::uint8_t write_byte(std::uint32_t bus_address, std::uint8_t value) {
    start(0x6);
    address(bus_address);
    host_clock(value & 0x0F);
    host_clock(static_cast<std::uint8_t>(value >> 4));
    host_turn_around();
    std::uint8_t s = chip_clock();
    for (int waits = 0; is_wait(s) && waits < 100000; ++waits) {
        s = chip_clock();
    }
    chip_clock();
    chip_clock();
    return s;
}

inline std::uint8_t read_at(std::uint32_t position) {
    return read_byte(sim_chip_base + position);
}

inline void write_at(std::uint32_t position, std::uint8_t value) {
    write_byte(sim_chip_base + position, value);
}

// 0xAA at 0x5555, 0x55 at 0x2AAA, then `command` at 0x5555, in the top 64 KB.
inline void command(std::uint8_t value) {
    write_at(0x35555, 0xAA);
    write_at(0x32AAA, 0x55);
    write_at(0x35555, value);
}

} // namespace sim_bus
