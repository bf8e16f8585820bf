// What the parts of the simulated hardware tell each other: the cable hands every rising
// edge of LCLK to the LPC target, and the target hands whole memory reads and writes to
// the flash chip.
#pragma once

#include "sim/sim.h"

#include <cstdint>

namespace sim_model {

// The chip's side of LAD, as the target left it at the last rising edge.
struct LadDrive {
    bool driving;
    std::uint8_t nibble;
};
extern LadDrive chip_lad;

// The LPC target (lpc_target.cpp): samples LAD and LFRAME# (framed = asserted) at a
// rising edge of LCLK and updates chip_lad.
void target_rising_edge(std::uint8_t lad, bool framed);
void target_reset();

// The flash chip (flash_chip.cpp): one memory read or write at an image position; the
// address bits for command decoding are the position's low 16 bits.
std::uint8_t chip_read(std::uint32_t position);
void chip_write(std::uint32_t position, std::uint8_t value);
void chip_reset();
extern std::uint8_t chip_array[sim_chip_size];
extern bool chip_changed;

// The cable (cable.cpp): lines released, latches cleared.
void cable_reset();

} // namespace sim_model
