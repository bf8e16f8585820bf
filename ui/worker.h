// The command worker: the thread that runs every chip operation, one command at a time,
// and its command table (ids 110 to 120). Every front end runs its commands through here.
#pragma once

#include <cstddef>
#include <cstdint>

// The worker thread's routine: takes commands from its queue until the queue ends (the quit
// message, or a failed take). Messages other than the command message are dropped.
void command_worker();

// One command, synchronously, as the worker runs it: command_begin, command_entry,
// command_end.
void run_command(int id);

// Clears abort_requested and operation_faults and takes delay_constant from the Delay
// constant field (0 when the field holds no valid number).
void command_begin();

// Runs the command table's entry for `id`; an id outside 110 to 120, or one without an
// entry, runs nothing. Without port access no chip operation runs: one console line says
// so and the command notes fault_bus.
void command_entry(int id);

// Logs "-- Operation Aborted --" when Abort was pressed during the command.
void command_end();

// Whether `id` has an entry that runs something in the command table.
bool command_has_entry(int id);

// The Delay constant field's text as the worker takes it: an unsigned decimal number of at
// most 32 bits, blanks around it allowed. False for anything else (empty, a sign, other
// characters, out of range); `value` is then left alone.
bool parse_delay_text(const char* text, std::uint32_t* value);

// ---- The file prompts -------------------------------------------------------------------

// Capacity of each remembered path: 259 characters and the NUL.
inline constexpr std::size_t image_path_capacity = 260;

// The path chosen last in the save prompt (Read), and the one chosen last in the open
// prompt (Write, Verify, Program). Empty at start; each is offered again by its prompt.
extern char save_path[image_path_capacity];
extern char open_path[image_path_capacity];

enum OpenImageMode : int { verify_only = 0, program_only = 1, program_then_verify = 2 };

// Asks for a target file ("Save LPC image as") and reads the chip into it. Cancel ends the
// command with nothing logged.
void save_image_prompt(void* owner);

// Reads the file read option, asks for a source file ("Read LPC image from") and programs
// and/or verifies by `mode`. Cancel ends the command with nothing logged.
void open_image_prompt(void* owner, int mode);
