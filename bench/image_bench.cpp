// Whole-image operations on the simulated chip: a full erase, program and verify of a
// random 256 KB image. Reports the wall time, the port accesses, the nanoseconds per
// access, and the peak resident memory before and after (the image is streamed, so the
// peak must not grow by anything near the image's size).
#include "flash/commands.h"
#include "flash/image.h"
#include "platform/test/test_platform.h"
#include "sim/sim.h"
#include "ui/feedback.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::uint64_t port_accesses() {
    const auto& c = test_platform::counts;
    return c.data_reads + c.data_writes + c.status_reads + c.other;
}

std::string write_random_image() {
    std::string path =
        (std::filesystem::temp_directory_path() / "velmora_image_bench.bin").string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::mt19937 generator(12345);
    for (std::uint32_t k = 0; k < image_size; ++k) {
        std::fputc(static_cast<int>(generator() & 0xFF), file);
    }
    std::fclose(file);
    return path;
}

void erase_program_verify(benchmark::State& state) {
    const std::string path = write_random_image();
    test_platform::reset();
    test_platform::keep_log = false;
    sim_reset();
    test_platform::record_and_forward(sim_port_backend());

    const long rss_before = peak_rss_kb();
    double seconds = 0;
    std::uint64_t accesses = 0;
    int verified = 1;
    while (state.KeepRunning()) {
        const std::uint64_t first = port_accesses();
        const auto start = std::chrono::steady_clock::now();
        flash_erase_blocks();
        program_from_file(path.c_str(), false);
        verified &= verify_against_file(path.c_str(), false);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        accesses += port_accesses() - first;
        test_platform::console.clear();
    }
    const long rss_after = peak_rss_kb();
    std::filesystem::remove(path);
    if (verified == 0) {
        state.SkipWithError("the image did not verify");
        return;
    }

    const auto runs = static_cast<double>(state.iterations());
    state.counters["accesses"] = static_cast<double>(accesses) / runs;
    state.counters["ns_per_access"] = seconds * 1e9 / static_cast<double>(accesses);
    state.counters["wall_s"] = seconds / runs;
    state.counters["peak_rss_before_kb"] = static_cast<double>(rss_before);
    state.counters["peak_rss_after_kb"] = static_cast<double>(rss_after);
    state.counters["peak_rss_growth_kb"] = static_cast<double>(rss_after - rss_before);
}

} // namespace

BENCHMARK(erase_program_verify)->Unit(benchmark::kSecond)->Iterations(2);

BENCHMARK_MAIN();
