// The progress indicator of the command line: a one-line bar on standard error with the
// percentage, the elapsed time and the time left, drawn only when enabled (standard error
// is a terminal and --quiet was not given).
#pragma once

#include <cstdint>
#include <string>

void progress_bar_enable(bool enabled);

// The indicator's operations: a range 0..upper (a walk of upper - 1 steps), a position.
void progress_bar_set_range(std::uint16_t upper);
void progress_bar_set_position(std::uint16_t position);
void progress_bar_advance(std::uint16_t delta);

// Around a console line on standard output: the bar is taken off its line before, and
// drawn again after.
void progress_bar_hide();
void progress_bar_show();

// At exit: a bar still standing (an interrupted walk) is drawn in its end state and its
// line ended.
void progress_bar_end();

// The bar's text for `position` of `steps` after `elapsed_ms`, without the carriage return.
std::string progress_bar_text(unsigned position, unsigned steps, std::uint64_t elapsed_ms);
