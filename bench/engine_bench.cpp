// The cycle engine driving the simulated cable and chip: port accesses per second,
// time per access (the goal is 10 ns or less in a Release build; rates are taken over
// CPU time, as the benchmark library does), and the time of
// one read of every byte of the chip. The counts per cycle are fixed: a read with one
// SYNC clock makes 236 port accesses, a write 238.
#include "cable/nibble.h"
#include "cable/port.h"
#include "lpc/cycle.h"
#include "sim/sim.h"

#include <benchmark/benchmark.h>

namespace {

constexpr double accesses_per_read = 73 + 3 + 139 + 6 + 12 + 3;
constexpr double accesses_per_write = 73 + 3 + 141 + 6 + 6 + 3;

void install_sim() {
    sim_reset();
    port_backend = sim_port_backend();
    nibble_driver = NibbleDriver{rev2::put_nibble, rev2::get_nibble};
    delay_constant = 0;
    data_shadow = 0;
}

void report_accesses(benchmark::State& state, double per_iteration) {
    const double accesses = static_cast<double>(state.iterations()) * per_iteration;
    state.counters["accesses_per_s"] = benchmark::Counter(accesses, benchmark::Counter::kIsRate);
    // Shown with its SI prefix, e.g. "1.9ns".
    state.counters["time_per_access"] =
        benchmark::Counter(accesses, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void engine_read_cycle(benchmark::State& state) {
    install_sim();
    std::uint32_t k = 0;
    while (state.KeepRunning()) {
        benchmark::DoNotOptimize(
            lpc_mem_read(static_cast<std::uint16_t>(k >> 16), static_cast<std::uint16_t>(k)));
        k = (k + 1) & (sim_chip_size - 1);
    }
    report_accesses(state, accesses_per_read);
}
BENCHMARK(engine_read_cycle);

void engine_write_cycle(benchmark::State& state) {
    install_sim();
    while (state.KeepRunning()) {
        lpc_mem_write(0xFFFF, 0x5555, 0xAA); // an unlock write: the chip's state machine runs
    }
    report_accesses(state, accesses_per_write);
}
BENCHMARK(engine_write_cycle);

// 262,144 lpc_mem_read calls: one whole-chip read.
void engine_whole_chip_read(benchmark::State& state) {
    install_sim();
    while (state.KeepRunning()) {
        for (std::uint32_t k = 0; k < sim_chip_size; ++k) {
            benchmark::DoNotOptimize(lpc_mem_read(static_cast<std::uint16_t>(k >> 16),
                                                  static_cast<std::uint16_t>(k & 0xFFFF)));
        }
    }
    report_accesses(state, accesses_per_read * sim_chip_size);
}
BENCHMARK(engine_whole_chip_read)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
