#include "platform/test/test_platform.h"

#include "cable/nibble.h"
#include "platform/platform.h"
#include "ui/feedback.h"

namespace test_platform {

std::vector<RecordedAccess> accesses;
bool keep_log = true;
AccessCounts counts{};
std::uint8_t data_register = 0;
std::deque<std::uint8_t> status_script;
std::uint8_t status_default = 0xFF;
std::vector<std::string> console;
ProgressModel progress{};

namespace {

PortBackend inner_backend{nullptr, nullptr};
int dialog_marker;

void count(char kind, std::uint16_t address) {
    const std::uint16_t reg = static_cast<std::uint16_t>(address - base_port);
    if (reg == 0) {
        ++(kind == 'R' ? counts.data_reads : counts.data_writes);
    } else if (reg == 1 && kind == 'R') {
        ++counts.status_reads;
    } else {
        ++counts.other;
    }
}

std::uint8_t recording_read(std::uint16_t address) {
    std::uint8_t value;
    if (inner_backend.read != nullptr) {
        value = inner_backend.read(address);
    } else if (address == base_port) {
        value = data_register;
    } else if (address == base_port + 1 && !status_script.empty()) {
        value = status_script.front();
        status_script.pop_front();
    } else {
        value = status_default;
    }
    count('R', address);
    if (keep_log) {
        accesses.push_back({'R', address, value});
    }
    return value;
}

void recording_write(std::uint16_t address, std::uint8_t value) {
    if (inner_backend.write != nullptr) {
        inner_backend.write(address, value);
    } else if (address == base_port) {
        data_register = value;
    }
    count('W', address);
    if (keep_log) {
        accesses.push_back({'W', address, value});
    }
}

} // namespace

void reset() {
    accesses.clear();
    keep_log = true;
    counts = {};
    data_register = 0;
    status_script.clear();
    status_default = 0xFF;
    console.clear();
    progress = {};
    inner_backend = {nullptr, nullptr};
    port_backend = PortBackend{recording_read, recording_write};
    base_port = lpt1_base;
    delay_constant = 0;
    data_shadow = 0;
    nibble_driver = NibbleDriver{rev2::put_nibble, rev2::get_nibble};
    dialog_handle = &dialog_marker;
    clear_abort();
    operation_faults = 0;
}

void record_and_forward(PortBackend inner) {
    inner_backend = inner;
    port_backend = PortBackend{recording_read, recording_write};
}

std::vector<std::uint8_t> data_writes() {
    std::vector<std::uint8_t> writes;
    for (const RecordedAccess& access : accesses) {
        if (access.kind == 'W' && access.address == base_port) {
            writes.push_back(static_cast<std::uint8_t>(access.value));
        }
    }
    return writes;
}

} // namespace test_platform

// ---- The named operations ----------------------------------------------------------

bool platform_open_port() {
    return true;
}

void platform_sleep_ms(std::uint32_t ms) {
    if (test_platform::keep_log) {
        test_platform::accesses.push_back({'S', 0, ms});
    }
}

void screen_console_add(void*, const char* text) {
    test_platform::console.emplace_back(text);
}

void screen_progress_set_range(void*, std::uint16_t upper) {
    test_platform::progress.range_set = true;
    test_platform::progress.upper = upper;
}

void screen_progress_set_position(void*, std::uint16_t position) {
    test_platform::progress.position = position;
}

void screen_progress_advance(void*, std::uint16_t delta) {
    test_platform::progress.position =
        static_cast<std::uint16_t>(test_platform::progress.position + delta);
}
