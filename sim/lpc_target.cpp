// The chip's LPC interface: a registered memory target. At every rising edge of LCLK it
// samples LAD and LFRAME#, moves one field on, and sets what it drives for the host to
// sample after that edge.
//
// Memory read:  START, CYCTYPE 0x4, ADDR x8, TAR x2 (host), SYNC..., DATA low, DATA high,
//               TAR x2 (chip: 0xF, then let go).
// Memory write: START, CYCTYPE 0x6, ADDR x8, DATA low, DATA high, TAR x2 (host), SYNC...,
//               TAR x2 (chip).
// The chip claims addresses 0xFFFC0000 to 0xFFFFFFFF only. LFRAME# asserted at an edge
// ends whatever was going on; with LAD 0x0 (START) a new cycle begins.
#include "sim/model.h"

using sim_model::chip_lad;

namespace {

enum class Phase : std::uint8_t {
    idle,
    cycle_type,
    address,
    write_data_low,
    write_data_high,
    host_turn_first,
    host_turn_second,
    sync,
    read_data_low,
    read_data_high,
    chip_turn_first,
    chip_turn_second,
};

constexpr std::uint8_t start_field = 0x0;
constexpr std::uint8_t memory_read = 0x4;
constexpr std::uint8_t memory_write = 0x6;
constexpr std::uint8_t sync_ready = 0x0;
constexpr std::uint8_t sync_long_wait = 0x6;
constexpr std::uint8_t sync_error = 0xA;
constexpr std::uint8_t turn_around = 0xF;
constexpr int address_nibbles = 8;

Phase phase = Phase::idle;
bool writing = false;
std::uint32_t address = 0;
int nibbles_seen = 0;
std::uint8_t data = 0;
std::uint32_t waits_left = 0;
std::uint8_t last_sync = sync_ready;

void drive(std::uint8_t nibble) {
    chip_lad = sim_model::LadDrive{true, nibble};
}

void let_go() {
    chip_lad = sim_model::LadDrive{false, 0xF};
}

bool claimed_cycle_running() {
    return phase > Phase::address;
}

void frame(std::uint8_t lad) {
    if (claimed_cycle_running()) {
        ++sim_counters.aborted;
    }
    let_go();
    phase = (lad == start_field && !sim_faults.absent) ? Phase::cycle_type : Phase::idle;
}

void take_cycle_type(std::uint8_t lad) {
    if (lad != memory_read && lad != memory_write) {
        ++sim_counters.unclaimed;
        phase = Phase::idle;
        return;
    }
    writing = lad == memory_write;
    address = 0;
    nibbles_seen = 0;
    phase = Phase::address;
}

// The last address nibble decides whether the cycle is ours, and how its SYNC will go.
void claim() {
    if (address < sim_chip_base) {
        ++sim_counters.unclaimed;
        phase = Phase::idle;
        return;
    }
    ++sim_counters.cycles;
    ++(writing ? sim_counters.writes : sim_counters.reads);
    waits_left = sim_faults.wait_states;
    const std::uint32_t every = sim_faults.sync_error_every;
    last_sync = (every != 0 && sim_counters.cycles % every == 0) ? sync_error : sync_ready;
    phase = writing ? Phase::write_data_low : Phase::host_turn_first;
}

void take_address(std::uint8_t lad) {
    address = address << 4 | lad;
    if (++nibbles_seen == address_nibbles) {
        claim();
    }
}

// One SYNC clock: wait, or end the wait and do the access.
void give_sync() {
    if (sim_faults.endless_wait || waits_left > 0) {
        if (!sim_faults.endless_wait) {
            --waits_left;
        }
        ++sim_counters.wait_states;
        drive(sync_long_wait);
        return;
    }
    drive(last_sync);
    if (last_sync != sync_ready) {
        ++sim_counters.sync_errors;
    }
    const std::uint32_t position = address - sim_chip_base;
    if (writing) {
        sim_model::chip_write(position, data);
        phase = Phase::chip_turn_first;
    } else {
        data = sim_model::chip_read(position);
        phase = Phase::read_data_low;
    }
}

} // namespace

void sim_model::target_rising_edge(std::uint8_t lad, bool framed) {
    if (framed) {
        frame(lad);
        return;
    }
    switch (phase) {
    case Phase::idle:
        break;
    case Phase::cycle_type:
        take_cycle_type(lad);
        break;
    case Phase::address:
        take_address(lad);
        break;
    case Phase::write_data_low:
        data = lad;
        phase = Phase::write_data_high;
        break;
    case Phase::write_data_high:
        data = static_cast<std::uint8_t>(data | lad << 4);
        phase = Phase::host_turn_first;
        break;
    case Phase::host_turn_first:
        phase = Phase::host_turn_second;
        break;
    case Phase::host_turn_second:
        phase = Phase::sync;
        break;
    case Phase::sync:
        give_sync();
        break;
    case Phase::read_data_low:
        drive(data & 0x0F);
        phase = Phase::read_data_high;
        break;
    case Phase::read_data_high:
        drive(data >> 4);
        phase = Phase::chip_turn_first;
        break;
    case Phase::chip_turn_first:
        drive(turn_around);
        phase = Phase::chip_turn_second;
        break;
    case Phase::chip_turn_second:
        let_go();
        phase = Phase::idle;
        break;
    }
}

void sim_model::target_reset() {
    phase = Phase::idle;
    writing = false;
    address = 0;
    nibbles_seen = 0;
    data = 0;
    waits_left = 0;
    last_sync = sync_ready;
    let_go();
}
