// The named operations of the dialog, realised on the command line: the console is
// standard output, one flushed line per console_log; the progress indicator is the bar on
// standard error; the fields and the prompts answer from the command line.
#include "platform/cli/cli_session.h"
#include "platform/cli/progress_bar.h"
#include "platform/platform.h"
#include "ui/dialog_template.h"

#include <cstdio>
#include <cstring>

CliSession cli_session;
std::atomic<bool> interrupted{false};

namespace {
bool output_failed = false;
}

bool console_output_failed() {
    return output_failed;
}

void screen_console_add(void*, const char* text) {
    progress_bar_hide();
    if (std::fputs(text, stdout) == EOF || std::fputc('\n', stdout) == EOF ||
        std::fflush(stdout) == EOF) {
        output_failed = true;
    }
    progress_bar_show();
}

void screen_progress_set_range(void*, std::uint16_t upper) {
    progress_bar_set_range(upper);
}

void screen_progress_set_position(void*, std::uint16_t position) {
    progress_bar_set_position(position);
}

void screen_progress_advance(void*, std::uint16_t delta) {
    progress_bar_advance(delta);
}

bool screen_read_delay(void*, std::uint32_t* value) {
    *value = cli_session.delay;
    return true;
}

bool screen_option_checked(void*, int id) {
    return id == id_from_start && cli_session.from_start;
}

bool prompt_for_file(void*, FilePrompt, const char*, char* path, std::size_t capacity) {
    const std::string& file = cli_session.file;
    if (file.empty() || file.size() + 1 > capacity) {
        return false;
    }
    std::memcpy(path, file.c_str(), file.size() + 1);
    return true;
}

// The configuration combos and the option buttons are not shown on the command line.
void screen_combo_insert(void*, int, int, const char*) {}
void screen_combo_select(void*, int, int) {}
void screen_option_check(void*, int) {}
