// The main dialog's behaviour, shared by every realisation of the window: its
// initialisation and the routing of its buttons.
#pragma once

#include <cstdint>

// Fills the two display-only combos, probes the cable, selects the probed revision, checks
// "End of file" and installs the nibble driver, whose line is the console's first.
void init_configuration_controls(void* dialog);

// The initialisation, on the dialog thread, once the controls exist: records the handle,
// opens port access, fills the configuration controls and creates the command worker.
// False when the worker could not be created: the realisation then ends the dialog with 0.
bool main_dialog_initialise(void* dialog);

// A command message of the dialog: an operation button is forwarded unchanged to the
// worker, Abort raises abort_requested, every other id (Enter, Escape, notifications)
// does nothing.
void main_dialog_command(std::uintptr_t wparam, std::intptr_t lparam);

// Whether `id` is one of the operation buttons forwarded to the worker.
bool is_forwarded_command(int id);
