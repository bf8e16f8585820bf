// The simulation's process-wide settings, counters and direct access to the array.
#include "sim/model.h"

std::uint32_t sim_erase_reads = sim_default_erase_reads;
SimCounters sim_counters{};

void sim_reset() {
    sim_faults = SimFaults{};
    sim_erase_reads = sim_default_erase_reads;
    sim_counters = SimCounters{};
    sim_model::chip_reset();
    sim_model::target_reset();
    sim_model::cable_reset();
}

std::uint8_t sim_peek(std::uint32_t position) {
    return sim_model::chip_array[position % sim_chip_size];
}

void sim_poke(std::uint32_t position, std::uint8_t value) {
    sim_model::chip_array[position % sim_chip_size] = value;
}

bool sim_contents_changed() {
    return sim_model::chip_changed;
}
