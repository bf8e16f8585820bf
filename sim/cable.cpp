// The logic-free cable: the data register's latch drives LAD, LFRAME# and LCLK; the
// status register shows LAD. The only thing the cable adds is the hold of the frame
// pulse until the next rising edge of LCLK.
#include "sim/model.h"

namespace sim_model {
LadDrive chip_lad{false, 0xF};
}

using sim_model::chip_lad;

namespace {

constexpr std::uint8_t release_bit = 0x80;
constexpr std::uint8_t clock_bit = 0x40;
constexpr std::uint8_t frame_bit = 0x20; // LFRAME#, active low
constexpr std::uint8_t lad_mask = 0x0F;
constexpr std::uint8_t pulled_up = 0x0F; // LAD with nobody driving

// Status bits 0-2 read 1, bit 7 (inverted BUSY, not wired) reads 0.
constexpr std::uint8_t status_fixed_bits = 0x07;
constexpr int status_lad_shift = 3;

std::uint8_t data_latch = 0;
std::uint8_t control_latch = 0;
std::uint8_t status_value = status_fixed_bits | pulled_up << status_lad_shift;
// LFRAME# was low at some write since the last rising edge of LCLK (including the write
// that makes the edge).
bool frame_held = false;

// The level of the four LAD lines: the host's nibble while it drives, otherwise the chip
// or the pull-ups.
std::uint8_t lad_lines() {
    if ((data_latch & release_bit) == 0) {
        return data_latch & lad_mask;
    }
    return chip_lad.driving ? chip_lad.nibble : pulled_up;
}

void update_status() {
    status_value = static_cast<std::uint8_t>(status_fixed_bits | lad_lines() << status_lad_shift);
}

void write_data(std::uint8_t value) {
    const bool rising = (value & ~data_latch & clock_bit) != 0;
    data_latch = value;
    if ((value & frame_bit) == 0) {
        frame_held = true;
    }
    if (rising) {
        const bool framed = frame_held;
        frame_held = false; // a frame still low is held again by the next write
        ++sim_counters.rising_edges;
        sim_model::target_rising_edge(lad_lines(), framed);
        if (chip_lad.driving && (data_latch & release_bit) == 0) {
            ++sim_counters.contention;
        }
    }
    update_status();
}

std::uint8_t cable_read(std::uint16_t address) {
    switch (static_cast<std::uint16_t>(address - base_port)) {
    case 0:
        return data_latch;
    case 1:
        return status_value;
    case 2:
        return control_latch;
    default:
        return 0xFF;
    }
}

void cable_write(std::uint16_t address, std::uint8_t value) {
    switch (static_cast<std::uint16_t>(address - base_port)) {
    case 0:
        write_data(value);
        break;
    case 2:
        control_latch = value;
        break;
    default:
        break;
    }
}

} // namespace

void sim_model::cable_reset() {
    data_latch = 0;
    control_latch = 0;
    frame_held = false;
    chip_lad = LadDrive{false, pulled_up};
    update_status();
}

PortBackend sim_port_backend() {
    return PortBackend{cable_read, cable_write};
}
