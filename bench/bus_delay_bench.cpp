// The busy-wait's cost must grow linearly with delay_constant in an optimised build: the
// optimiser kept every iteration. Reports nanoseconds per iteration.
#include "cable/port.h"

#include <benchmark/benchmark.h>

static void bus_delay_iterations(benchmark::State& state) {
    delay_constant = static_cast<std::uint32_t>(state.range(0));
    for (auto _ : state) {
        bus_delay();
    }
    state.counters["ns_per_iteration"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(state.range(0)),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    delay_constant = 0;
}
BENCHMARK(bus_delay_iterations)->Arg(0)->RangeMultiplier(10)->Range(1, 1000000);

BENCHMARK_MAIN();
