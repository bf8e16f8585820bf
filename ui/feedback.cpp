#include "ui/feedback.h"

#include "platform/platform.h"

void* dialog_handle = nullptr;
std::atomic<std::uint8_t> abort_requested{0};
std::uint8_t operation_faults = 0;

void console_log(const char* text) {
    if (dialog_handle != nullptr) {
        screen_console_add(dialog_handle, text);
    }
}

void progress_begin(std::uint32_t steps) {
    if (dialog_handle == nullptr) {
        return;
    }
    if (steps != 0) {
        // The test takes the whole 32-bit count; the bound is computed in 16 bits.
        screen_progress_set_range(dialog_handle, static_cast<std::uint16_t>(steps + 1));
    }
    screen_progress_set_position(dialog_handle, 0);
}

void progress_step() {
    if (dialog_handle != nullptr) {
        screen_progress_advance(dialog_handle, 1);
    }
}

void sleep_ms(std::uint32_t ms) {
    platform_sleep_ms(ms);
}
