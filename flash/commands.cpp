#include "flash/commands.h"

#include "cable/port.h"
#include "lpc/cycle.h"
#include "ui/feedback.h"

#include <cstddef>
#include <cstdio>

namespace {

// One write of a command sequence: a command byte at its address.
struct CommandWrite {
    std::uint16_t segment;
    std::uint16_t offset;
    std::uint8_t value;
};

// The command window: segment 0xFFFF is the chip's top 64 KB (bus 0xFFFF0000), and
// segment 0xFFFC its bottom 64 KB (bus 0xFFFC0000), where the ID codes are read.
constexpr std::uint16_t command_segment = 0xFFFF;
constexpr std::uint16_t id_segment = 0xFFFC;

// The JEDEC command bytes.
constexpr std::uint8_t jedec_unlock_1 = 0xAA;     // first unlock write, at 0x5555
constexpr std::uint8_t jedec_unlock_2 = 0x55;     // second unlock write, at 0x2AAA
constexpr std::uint8_t jedec_byte_program = 0xA0; // the next write carries the data byte
constexpr std::uint8_t jedec_erase_setup = 0x80;  // unlocks the erase commands
constexpr std::uint8_t jedec_block_erase = 0x50;  // written at the block's first address
constexpr std::uint8_t jedec_id_entry = 0x90;     // software ID mode
constexpr std::uint8_t jedec_id_exit = 0xF0;      // back to reading the array
constexpr std::uint16_t jedec_address_1 = 0x5555;
constexpr std::uint16_t jedec_address_2 = 0x2AAA;

constexpr CommandWrite unlock_1 = {command_segment, jedec_address_1, jedec_unlock_1};
constexpr CommandWrite unlock_2 = {command_segment, jedec_address_2, jedec_unlock_2};

// The sequences, in the order they go on the bus.
constexpr CommandWrite program_sequence[] = {
    unlock_1,
    unlock_2,
    {command_segment, jedec_address_1, jedec_byte_program},
};
constexpr CommandWrite erase_sequence[] = {
    unlock_1, unlock_2, {command_segment, jedec_address_1, jedec_erase_setup},
    unlock_1, unlock_2, // then jedec_block_erase at the block itself
};
constexpr CommandWrite id_entry_sequence[] = {
    unlock_1,
    unlock_2,
    {command_segment, jedec_address_1, jedec_id_entry},
};
// A single write, with no unlock before it.
constexpr CommandWrite id_exit = {command_segment, 0xFFFF, jedec_id_exit};

constexpr std::uint16_t id_manufacturer_offset = 0;
constexpr std::uint16_t id_device_offset = 1;

template <std::size_t N> void send_commands(const CommandWrite (&sequence)[N]) {
    for (const CommandWrite& write : sequence) {
        lpc_mem_write(write.segment, write.offset, write.value);
    }
}

enum PollEnd { poll_done, poll_timed_out, poll_aborted };

// The chip toggles its status bits on every read while the erase runs: two equal reads
// in a row mean it has ended. Every pair is fresh; the second read of one pair is never
// compared with the first read of the next.
PollEnd toggle_poll(std::uint16_t segment, std::uint16_t offset) {
    for (std::uint32_t pairs = 0; pairs < toggle_poll_pair_limit; ++pairs) {
        const std::uint8_t first = lpc_mem_read(segment, offset);
        const std::uint8_t second = lpc_mem_read(segment, offset);
        if (first == second) {
            return poll_done;
        }
        if (abort_is_requested()) {
            return poll_aborted;
        }
    }
    return poll_timed_out;
}

void log_erase_stop(PollEnd end, unsigned block) {
    char line[256];
    const unsigned address = block * erase_block_size;
    if (end == poll_timed_out) {
        std::snprintf(line, sizeof line,
                      "Erase of block %u at 0x%05x did not finish, erase stopped", block, address);
    } else {
        std::snprintf(line, sizeof line,
                      "Erase aborted in block %u at 0x%05x, later blocks not erased", block,
                      address);
    }
    console_log(line);
}

} // namespace

std::uint8_t flash_program_byte(std::uint16_t segment, std::uint16_t offset, std::uint8_t value) {
    send_commands(program_sequence);
    lpc_mem_write(segment, offset, value);
    // No ready status is polled: this read and the next call's unlock writes cover the
    // chip's byte program time. SST49LF00x: 20 us max; the four cycles take about 900
    // port accesses, near 1 ms on a real port, some fifty times the maximum.
    return lpc_mem_read(segment, offset);
}

int flash_erase_blocks() {
    bus_reset();
    int result = 1;
    for (unsigned block = 0; block < erase_block_count; ++block) {
        const unsigned address = block * erase_block_size;
        const auto segment = static_cast<std::uint16_t>(address >> 16);
        const auto offset = static_cast<std::uint16_t>(address & 0xFFFF);
        send_commands(erase_sequence);
        lpc_mem_write(segment, offset, jedec_block_erase);
        const PollEnd end = toggle_poll(segment, offset);
        if (end != poll_done) {
            // A chip still busy with one block takes no further command: the remaining
            // blocks are left alone, and the blank check that follows shows the state.
            log_erase_stop(end, block);
            if (end == poll_timed_out) {
                note_fault(fault_bus);
            }
            result = 0;
            break;
        }
    }
    if (bus_error_count != 0) {
        result = 0;
    }
    report_bus_errors();
    return result;
}

std::uint16_t flash_read_id() {
    bus_reset();
    bus_delay();
    send_commands(id_entry_sequence);
    const std::uint8_t manufacturer = lpc_mem_read(id_segment, id_manufacturer_offset);
    const std::uint8_t device = lpc_mem_read(id_segment, id_device_offset);
    lpc_mem_write(id_exit.segment, id_exit.offset, id_exit.value);
    char line[256];
    std::snprintf(line, sizeof line, "Mfg=0x%x Device=0x%x", static_cast<unsigned>(manufacturer),
                  static_cast<unsigned>(device));
    console_log(line);
    report_bus_errors();
    return static_cast<std::uint16_t>((manufacturer << 8) | device);
}
