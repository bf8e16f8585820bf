#include "platform/cli/progress_bar.h"

#include <chrono>
#include <cstdio>

namespace {

using clock_type = std::chrono::steady_clock;

// Redraws come at most this often; the end state is always drawn.
constexpr auto redraw_interval = std::chrono::milliseconds(200);
constexpr unsigned bar_width = 30;

bool bar_enabled = false;
bool walking = false; // between a range and the return to 0
bool on_screen = false;
unsigned steps = 0;
unsigned position = 0;
clock_type::time_point started;
clock_type::time_point last_drawn;

std::string clock_text(std::uint64_t ms) {
    const std::uint64_t seconds = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u", static_cast<unsigned>(seconds / 60),
                  static_cast<unsigned>(seconds % 60));
    return text;
}

void draw() {
    const auto now = clock_type::now();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - started).count();
    const std::string text =
        progress_bar_text(position, steps, static_cast<std::uint64_t>(elapsed));
    std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
    std::fflush(stderr);
    on_screen = true;
    last_drawn = now;
}

void finish_line() {
    if (on_screen) {
        draw();
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    on_screen = false;
    walking = false;
}

} // namespace

std::string progress_bar_text(unsigned at, unsigned of, std::uint64_t elapsed_ms) {
    const unsigned shown = of == 0 ? 0 : (at > of ? of : at);
    const unsigned filled = of == 0 ? 0 : shown * bar_width / of;
    std::string text = "[";
    text.append(filled, '#');
    text.append(bar_width - filled, '.');
    char tail[96];
    const unsigned percent = of == 0 ? 0 : shown * 100 / of;
    const std::string left = shown == 0 ? "--:--" : clock_text(elapsed_ms * (of - shown) / shown);
    std::snprintf(tail, sizeof tail, "] %3u%%  %s elapsed  %s left", percent,
                  clock_text(elapsed_ms).c_str(), left.c_str());
    return text + tail;
}

void progress_bar_enable(bool enabled) {
    bar_enabled = enabled;
}

void progress_bar_set_range(std::uint16_t upper) {
    if (walking) {
        finish_line();
    }
    // The range is steps + 1 in 16 bits: a walk of 65,535 steps wraps to 0.
    steps = static_cast<std::uint16_t>(upper - 1);
    position = 0;
    walking = true;
    started = clock_type::now();
    last_drawn = started - redraw_interval;
}

void progress_bar_set_position(std::uint16_t to) {
    if (to == 0 && walking && position != 0) {
        // The walk has ended (or was emptied): its last state stays on its own line.
        if (bar_enabled) {
            finish_line();
        }
        walking = false;
    }
    position = to;
}

void progress_bar_advance(std::uint16_t delta) {
    position = static_cast<std::uint16_t>(position + delta);
    if (!bar_enabled || !walking) {
        return;
    }
    if (position >= steps || clock_type::now() - last_drawn >= redraw_interval) {
        draw();
    }
}

void progress_bar_hide() {
    if (on_screen) {
        std::fputs("\r\x1b[K", stderr);
        std::fflush(stderr);
    }
}

void progress_bar_show() {
    if (on_screen) {
        draw();
    }
}

void progress_bar_end() {
    if (bar_enabled) {
        finish_line();
    }
}
