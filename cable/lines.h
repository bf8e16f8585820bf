// The cable's line map and the three line routines that move the clock and frame lines.
#pragma once

#include "cable/port.h"

#include <cstdint>

// Data register (outputs), bit n on connector pin n + 2.
inline constexpr std::uint8_t line_lad_mask = 0x0F;    // LAD[3:0] as driven by the host
inline constexpr std::uint8_t line_hold_bit = 0x10;    // held at 1, no other role
inline constexpr std::uint8_t line_frame_bit = 0x20;   // LFRAME#, active low
inline constexpr std::uint8_t line_clock_bit = 0x40;   // LCLK
inline constexpr std::uint8_t line_release_bit = 0x80; // 1: the chip drives LAD

// Status register (inputs): LAD[0..3] sampled on bits 3..6 (pins 15, 13, 12, 10), not
// inverted by the port.
inline constexpr int status_lad_shift = 3;

// One row per line routine: after the bus delay, the data register is read into
// data_shadow, masked (keep, then set) and written `writes` times.
struct LineRoutine {
    const char* name;
    std::uint8_t keep;
    std::uint8_t set;
    std::uint8_t writes;
};

enum LineRoutineIndex { line_clock_low, line_clock_high, line_frame_begin };

inline constexpr LineRoutine line_routines[] = {
    {"clock_low", 0x8F, line_hold_bit | line_frame_bit, 2},                   // clock 0, frame 1
    {"clock_high", 0x8F, line_hold_bit | line_frame_bit | line_clock_bit, 2}, // clock 1, frame 1
    {"frame_begin", 0x8F, line_hold_bit, 1},                                  // clock 0, frame 0
};

inline void run_line_routine(const LineRoutine& routine) {
    bus_delay();
    data_shadow = port_in(base_port);
    data_shadow = static_cast<std::uint8_t>((data_shadow & routine.keep) | routine.set);
    for (std::uint8_t i = 0; i < routine.writes; ++i) {
        port_out(base_port, data_shadow);
    }
}

inline void clock_low() {
    run_line_routine(line_routines[line_clock_low]);
}
inline void clock_high() {
    run_line_routine(line_routines[line_clock_high]);
}
inline void frame_begin() {
    run_line_routine(line_routines[line_frame_begin]);
}
