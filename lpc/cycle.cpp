#include "lpc/cycle.h"

#include "cable/lines.h"
#include "cable/nibble.h"
#include "cable/port.h"
#include "ui/feedback.h"

#include <cstdio>

std::uint32_t bus_error_count = 0;

namespace {

// The release bit hands LAD to the chip. A read-modify-write with no bus delay.
void set_release() {
    data_shadow = port_in(base_port);
    data_shadow = static_cast<std::uint8_t>(data_shadow | line_release_bit);
    port_out(base_port, data_shadow);
}

void clear_release() {
    data_shadow = port_in(base_port);
    data_shadow = static_cast<std::uint8_t>(data_shadow & ~line_release_bit);
    port_out(base_port, data_shadow);
}

void driven_clock(std::uint8_t nibble) {
    clock_low();
    nibble_driver.put_nibble(nibble);
    clock_high();
}

// Logs a handshake fault while the operation's allowance of lines lasts; past it the
// faults are only counted, and one line says so.
void bus_error(const char* text) {
    ++bus_error_count;
    note_fault(fault_bus);
    if (bus_error_count <= bus_error_lines_shown) {
        console_log(text);
    } else if (bus_error_count == bus_error_lines_shown + 1) {
        console_log("Further bus errors of this operation are counted, not shown");
    }
}

// Clocks SYNC until the chip says ready. Runs with the release bit set.
void sync_wait(char direction) {
    char line[256];
    for (std::uint32_t waits = 0;; ++waits) {
        const std::uint8_t sync = clock_in_nibble();
        if (sync == lpc_sync_ready) {
            return;
        }
        if (sync != lpc_sync_short_wait && sync != lpc_sync_long_wait) {
            std::snprintf(line, sizeof line, "%s: Expecting Sync <0000>, but found 0x%x",
                          direction == 'W' ? "Wr" : "Rd", static_cast<unsigned>(sync));
            bus_error(line);
            return;
        }
        if (waits + 1 == sync_wait_limit) {
            std::snprintf(line, sizeof line, "%s: No ready Sync after %u wait clocks, cycle ended",
                          direction == 'W' ? "Wr" : "Rd", static_cast<unsigned>(sync_wait_limit));
            bus_error(line);
            return;
        }
    }
}

void idle_clocks() {
    clock_out_pair(lpc_tar, lpc_tar);
    clock_out_pair(lpc_tar, lpc_tar);
}

} // namespace

void clock_out_pair(std::uint8_t first, std::uint8_t second) {
    driven_clock(first);
    driven_clock(second);
    clock_low();
}

std::uint8_t clock_in_nibble() {
    clock_low();
    clock_high();
    const std::uint8_t value = nibble_driver.get_nibble();
    clock_low();
    return value;
}

std::uint8_t clock_in_byte() {
    set_release();
    clock_low();
    clock_high();
    const std::uint8_t low = nibble_driver.get_nibble();
    clock_low();
    clock_high();
    const std::uint8_t high = nibble_driver.get_nibble();
    clock_low();
    clear_release();
    return static_cast<std::uint8_t>(low + 16 * high);
}

void send_cycle_header(std::uint16_t segment, std::uint16_t offset, std::uint8_t cycle_type) {
    frame_begin();
    driven_clock(lpc_start);
    driven_clock(cycle_type);
    clock_low();
    const std::uint8_t address[4] = {
        0xFF,
        static_cast<std::uint8_t>((segment & 0xFF) | 0xFC),
        static_cast<std::uint8_t>(offset >> 8),
        static_cast<std::uint8_t>(offset & 0xFF),
    };
    for (const std::uint8_t byte : address) {
        clock_out_pair(byte >> 4, byte & 0x0F);
    }
}

void lpc_mem_write(std::uint16_t segment, std::uint16_t offset, std::uint8_t value) {
    send_cycle_header(segment, offset, lpc_cyctype_write);
    clock_out_pair(value & 0x0F, value >> 4);
    clock_out_pair(lpc_tar, lpc_tar);
    set_release();
    sync_wait('W');
    clock_in_byte(); // the chip's turn-around
    clear_release();
    idle_clocks();
}

std::uint8_t lpc_mem_read(std::uint16_t segment, std::uint16_t offset) {
    send_cycle_header(segment, offset, lpc_cyctype_read);
    clock_out_pair(lpc_tar, lpc_tar);
    set_release();
    sync_wait('R');
    const std::uint8_t data = clock_in_byte();
    clock_in_byte(); // the chip's turn-around
    clear_release();
    idle_clocks();
    return data;
}

void bus_reset() {
    data_shadow = port_in(base_port);
    sleep_ms(1);
    data_shadow = 0x70;
    port_out(base_port, data_shadow);
    bus_error_count = 0;
}

void report_bus_errors() {
    if (bus_error_count == 0) {
        return;
    }
    char line[256];
    std::snprintf(line, sizeof line,
                  "Warning: %u bus errors in this operation, result cannot be trusted",
                  static_cast<unsigned>(bus_error_count));
    console_log(line);
}
