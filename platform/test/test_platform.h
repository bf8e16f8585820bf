// The test realisation of the named operations: a recording port, an in-memory console and
// a progress model, all inspected by the tests.
#pragma once

#include "cable/port.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct RecordedAccess {
    char kind; // 'R' port read, 'W' port write, 'S' sleep_ms (address 0, value = ms)
    std::uint16_t address;
    std::uint32_t value;
    bool operator==(const RecordedAccess&) const = default;
};

namespace test_platform {

// Every port access and sleep, in order (while keep_log is set), and counts by kind.
extern std::vector<RecordedAccess> accesses;
extern bool keep_log;
struct AccessCounts {
    std::uint64_t data_reads, data_writes, status_reads, other;
};
extern AccessCounts counts;

// Without an inner backend the data register latches what is written, and status reads
// take the scripted answers in order, then status_default.
extern std::uint8_t data_register;
extern std::deque<std::uint8_t> status_script;
extern std::uint8_t status_default;

extern std::vector<std::string> console;
struct ProgressModel {
    bool range_set;
    std::uint16_t upper;
    std::uint16_t position;
};
extern ProgressModel progress;

// Clears every record, installs the recording port with no inner backend, records a
// dialog handle and resets the cable's and engine's variables to their start values.
void reset();

// Records every access and passes it on to `inner` (the simulated chip, say).
void record_and_forward(PortBackend inner);

// Only the writes of the data register, in order.
std::vector<std::uint8_t> data_writes();

} // namespace test_platform
