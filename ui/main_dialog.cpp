#include "ui/main_dialog.h"

#include "cable/nibble.h"
#include "platform/platform.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"
#include "ui/worker.h"

namespace {

void fill_combo(void* dialog, int id, const char* const* names) {
    for (int index = 0; names[index][0] != '\0'; ++index) {
        screen_combo_insert(dialog, id, index, names[index]);
    }
    screen_combo_select(dialog, id, 0);
}

constexpr int forwarded_commands[] = {id_chip_id, id_erase,  id_write,  id_blank_check,
                                      id_read,    id_verify, id_program};

} // namespace

bool is_forwarded_command(int id) {
    for (const int forwarded : forwarded_commands) {
        if (forwarded == id) {
            return true;
        }
    }
    return false;
}

void init_configuration_controls(void* dialog) {
    fill_combo(dialog, id_io_address, io_address_names);
    fill_combo(dialog, id_cable_type, cable_type_names);
    const int revision = probe_cable();
    screen_combo_select(dialog, id_cable_type, revision);
    screen_option_check(dialog, id_from_end);
    select_nibble_driver(revision);
}

bool main_dialog_initialise(void* dialog) {
    dialog_handle = dialog;
    open_port_driver();
    init_configuration_controls(dialog);
    return worker_thread_start(command_worker);
}

void main_dialog_command(std::uintptr_t wparam, std::intptr_t lparam) {
    const int id = static_cast<int>(wparam & 0xFFFF);
    if (is_forwarded_command(id)) {
        worker_post(WorkerMessage{message_command, wparam, lparam});
    } else if (id == id_abort) {
        request_abort();
    }
}
