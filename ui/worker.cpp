#include "ui/worker.h"

#include "cable/nibble.h"
#include "cable/port.h"
#include "flash/commands.h"
#include "flash/image.h"
#include "platform/platform.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"

#include <iterator>

char save_path[image_path_capacity] = {};
char open_path[image_path_capacity] = {};

namespace {

void chip_id_entry() {
    flash_read_id();
}

void erase_entry() {
    flash_erase_blocks();
    blank_check();
    progress_begin(0);
}

void write_entry() {
    open_image_prompt(dialog_handle, program_only);
}

void blank_check_entry() {
    blank_check();
    progress_begin(0);
}

void read_entry() {
    save_image_prompt(dialog_handle);
}

void verify_entry() {
    open_image_prompt(dialog_handle, verify_only);
}

void program_entry() {
    flash_erase_blocks();
    open_image_prompt(dialog_handle, program_then_verify);
}

// The command table, ids 110 to 120 in order; nullptr where the id runs nothing.
constexpr int first_command_id = id_chip_id;
constexpr void (*command_table[])() = {
    chip_id_entry,     // 110 Chip ID
    nullptr,           // 111 group box "Operations"
    erase_entry,       // 112 Erase
    nullptr,           // 113 progress bar
    nullptr,           // 114 label "Progress"
    write_entry,       // 115 Write
    blank_check_entry, // 116 Blank check
    read_entry,        // 117 Read
    verify_entry,      // 118 Verify
    nullptr,           // 119 Abort, handled by the dialog itself
    program_entry,     // 120 Program
};
constexpr int command_count = static_cast<int>(std::size(command_table));
static_assert(first_command_id + command_count - 1 == id_program);

void (*entry_of(int id))() {
    const int index = id - first_command_id;
    if (index < 0 || index >= command_count) {
        return nullptr;
    }
    return command_table[index];
}

// What each mode of the open prompt runs, by OpenImageMode.
struct OpenMode {
    bool program;
    bool verify;
};
constexpr OpenMode open_modes[] = {
    {false, true}, // verify_only
    {true, false}, // program_only
    {true, true},  // program_then_verify
};

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// The prompts' file dialog. Without a dialog to own it there is nobody to ask: the prompt
// counts as cancelled.
bool ask_for_file(void* owner, FilePrompt kind, const char* title, char* path) {
    if (owner == nullptr) {
        return false;
    }
    return prompt_for_file(owner, kind, title, path, image_path_capacity);
}

} // namespace

bool parse_delay_text(const char* text, std::uint32_t* value) {
    if (text == nullptr) {
        return false;
    }
    while (is_blank(*text)) {
        ++text;
    }
    std::uint64_t number = 0;
    bool any_digit = false;
    for (; *text >= '0' && *text <= '9'; ++text) {
        number = number * 10 + static_cast<std::uint64_t>(*text - '0');
        if (number > 0xFFFFFFFFu) {
            return false;
        }
        any_digit = true;
    }
    while (is_blank(*text)) {
        ++text;
    }
    if (!any_digit || *text != '\0') {
        return false;
    }
    *value = static_cast<std::uint32_t>(number);
    return true;
}

bool command_has_entry(int id) {
    return entry_of(id) != nullptr;
}

void command_begin() {
    clear_abort();
    operation_faults = 0;
    std::uint32_t delay = 0;
    if (dialog_handle == nullptr || !screen_read_delay(dialog_handle, &delay)) {
        delay = 0;
    }
    delay_constant = delay;
}

void command_entry(int id) {
    void (*const entry)() = entry_of(id);
    if (entry == nullptr) {
        return;
    }
    if (!port_access_granted) {
        // The port could not be opened at start-up (its own line said why): driving a
        // port that is not there would only report a chip that does not answer.
        console_log("No port access: command not run");
        note_fault(fault_bus);
        return;
    }
    entry();
}

void command_end() {
    if (abort_is_requested()) {
        console_log("-- Operation Aborted --");
    }
}

void run_command(int id) {
    command_begin();
    command_entry(id);
    command_end();
}

void command_worker() {
    WorkerMessage message{};
    while (worker_take(&message) > 0) {
        if (message.message != message_command) {
            continue;
        }
        run_command(static_cast<int>(message.wparam & 0xFFFF));
    }
}

void save_image_prompt(void* owner) {
    if (!ask_for_file(owner, FilePrompt::save, "Save LPC image as", save_path)) {
        return;
    }
    dump_to_file(save_path);
}

void open_image_prompt(void* owner, int mode) {
    // The option is read before the prompt: the dialog takes no input while it is open.
    const bool from_end = owner == nullptr || !screen_option_checked(owner, id_from_start);
    if (!ask_for_file(owner, FilePrompt::open, "Read LPC image from", open_path)) {
        return;
    }
    if (mode < 0 || mode >= static_cast<int>(std::size(open_modes))) {
        return;
    }
    // Program then verify: the verify runs whatever the programming did, also after an
    // abort, when it stops at its first poll of the flag.
    if (open_modes[mode].program) {
        program_from_file(open_path, from_end);
    }
    if (open_modes[mode].verify) {
        verify_against_file(open_path, from_end);
    }
}
