#include "flash/image.h"

#include "flash/commands.h"
#include "flash/image_file.h"
#include "lpc/cycle.h"
#include "ui/feedback.h"

#include <cstdio>

namespace {

constexpr std::uint16_t segment_count = 4;
constexpr std::uint32_t segment_size = 0x10000;
constexpr std::uint32_t progress_mask = 0xFFF; // a progress step at the start of every 4 KB
constexpr std::uint32_t progress_steps = image_size / (progress_mask + 1);
constexpr std::uint32_t report_allowance_start = 16;
constexpr std::uint8_t erased_byte = 0xFF;

// The walk in progress: its file (none for the blank check) and what is left of its
// report allowance.
std::FILE* image_file = nullptr;
std::uint32_t report_allowance = 0;

// What a byte step tells the walk.
enum StepResult {
    step_next,          // on to the next position
    step_leave_segment, // a mismatch past the allowance: on to the next segment's start
    step_failed,        // the file failed (its own line is logged): the walk stops
};

enum WalkEnd { walk_completed, walk_aborted, walk_stopped };

using ByteStep = StepResult (*)(std::uint16_t segment, std::uint16_t offset);

// The frame shared by the four operations: every image position in ascending order,
// a progress step at the start of every 4 KB and an abort test after every byte.
WalkEnd walk_image(ByteStep byte_step) {
    progress_begin(progress_steps);
    bus_reset();
    for (std::uint16_t segment = 0; segment < segment_count; ++segment) {
        for (std::uint32_t position = 0; position < segment_size; ++position) {
            const auto offset = static_cast<std::uint16_t>(position);
            const StepResult result = byte_step(segment, offset);
            if (result == step_failed) {
                return walk_stopped;
            }
            if (result == step_leave_segment) {
                break; // neither the progress nor the abort test for this byte
            }
            if ((offset & progress_mask) == 0) {
                progress_step();
            }
            if (abort_is_requested()) {
                return walk_aborted;
            }
        }
    }
    return walk_completed;
}

// A difference found by the blank check or the verify. True when it is to be reported
// (the allowance drops by one); false once 16 have been, which ends the segment.
bool take_report() {
    note_fault(fault_mismatch);
    if (report_allowance == 0) {
        return false;
    }
    --report_allowance;
    return true;
}

void log_file_failure(const char* format, std::uint16_t segment, std::uint16_t offset) {
    char line[256];
    std::snprintf(line, sizeof line, format, static_cast<unsigned>(segment),
                  static_cast<unsigned>(offset));
    console_log(line);
    note_fault(fault_file);
}

constexpr const char* read_failure = "Read from file failed at address 0x%01x%04x, stopped";
constexpr const char* write_failure =
    "Write to file failed at address 0x%01x%04x, image file incomplete";

StepResult blank_check_step(std::uint16_t segment, std::uint16_t offset) {
    if (lpc_mem_read(segment, offset) == erased_byte) {
        return step_next;
    }
    if (!take_report()) {
        return step_leave_segment;
    }
    // The report shows a second read of the same address.
    char line[256];
    std::snprintf(line, sizeof line, "Address 0x%01x%04x=%02x != 0xff",
                  static_cast<unsigned>(segment), static_cast<unsigned>(offset),
                  static_cast<unsigned>(lpc_mem_read(segment, offset)));
    console_log(line);
    return step_next;
}

StepResult dump_step(std::uint16_t segment, std::uint16_t offset) {
    if (std::fputc(lpc_mem_read(segment, offset), image_file) == EOF) {
        log_file_failure(write_failure, segment, offset);
        return step_failed;
    }
    return step_next;
}

StepResult program_step(std::uint16_t segment, std::uint16_t offset) {
    const int byte = read_image_byte(image_file);
    if (byte == image_read_failed) {
        log_file_failure(read_failure, segment, offset);
        return step_failed;
    }
    flash_program_byte(segment, offset, static_cast<std::uint8_t>(byte));
    return step_next;
}

StepResult verify_step(std::uint16_t segment, std::uint16_t offset) {
    const int expected = read_image_byte(image_file);
    if (expected == image_read_failed) {
        log_file_failure(read_failure, segment, offset);
        return step_failed;
    }
    const std::uint8_t found = lpc_mem_read(segment, offset);
    if (found == expected) {
        return step_next;
    }
    if (!take_report()) {
        return step_leave_segment;
    }
    char line[256];
    std::snprintf(line, sizeof line, "Address 0x%01x%04x=0x%02x != 0x%02x",
                  static_cast<unsigned>(segment), static_cast<unsigned>(offset),
                  static_cast<unsigned>(found), static_cast<unsigned>(expected));
    console_log(line);
    return step_next;
}

// Closes the walk's file; false when the last buffered bytes could not be written.
bool close_image_file() {
    const bool closed = std::fclose(image_file) == 0;
    image_file = nullptr;
    return closed;
}

} // namespace

int blank_check() {
    report_allowance = report_allowance_start;
    const WalkEnd end = walk_image(blank_check_step);
    int result = 0;
    if (end == walk_completed) {
        if (report_allowance == report_allowance_start) {
            progress_begin(0);
            console_log("Blank check completed");
            result = 1;
        } else {
            console_log("Blank check Aborted");
        }
    }
    report_bus_errors();
    return result;
}

void dump_to_file(const char* path) {
    image_file = open_image_for_writing(path);
    if (image_file == nullptr) {
        return;
    }
    const WalkEnd end = walk_image(dump_step);
    const bool closed = close_image_file();
    if (!closed && end != walk_stopped) {
        console_log("Write to file failed at close, image file incomplete");
        note_fault(fault_file);
    } else if (end == walk_completed) {
        progress_begin(0);
    }
    report_bus_errors();
}

void program_from_file(const char* path, bool from_end) {
    image_file = open_image_for_reading(path, from_end);
    if (image_file == nullptr) {
        return;
    }
    const WalkEnd end = walk_image(program_step);
    close_image_file();
    if (end == walk_completed) {
        progress_begin(0);
        console_log("Write completed");
    }
    report_bus_errors();
}

int verify_against_file(const char* path, bool from_end) {
    image_file = open_image_for_reading(path, from_end);
    if (image_file == nullptr) {
        return 0;
    }
    report_allowance = report_allowance_start;
    const WalkEnd end = walk_image(verify_step);
    close_image_file();
    int result = 0;
    if (end == walk_completed) {
        progress_begin(0);
        if (report_allowance == report_allowance_start) {
            console_log("Verify completed");
            result = 1;
        } else {
            console_log("Verify Aborted");
        }
    }
    report_bus_errors();
    return result;
}
