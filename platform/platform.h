// The named operations that the portable core calls. Each program links exactly one
// realisation of them (the test realisation, the command line, the Qt dialog, Win32);
// only the port backend is chosen at start-up, through PortBackend (cable/port.h).
//
// The screen operations take the dialog's handle; the core passes dialog_handle and
// makes no call while it is empty. They are synchronous: when one returns, the dialog
// has carried it out.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Port access and time ------------------------------------------------------------

// Grants access to the parallel port and installs the port backend chosen at start-up.
// On failure it logs its own console lines (the device, the reason, the remedy) and
// returns false; the port backend then stays the "no port" one.
bool platform_open_port();

// Suspends the calling thread for ms milliseconds.
void platform_sleep_ms(std::uint32_t ms);

// ---- Console and progress indicator -------------------------------------------------

void screen_console_add(void* dialog, const char* text);
void screen_progress_set_range(void* dialog, std::uint16_t upper); // range 0..upper
void screen_progress_set_position(void* dialog, std::uint16_t position);
void screen_progress_advance(void* dialog, std::uint16_t delta);

// ---- What the command worker reads from the dialog ----------------------------------

// The Delay constant field as an unsigned 32-bit decimal number; false when the field
// holds no valid number (empty, not digits, out of range).
bool screen_read_delay(void* dialog, std::uint32_t* value);

// Whether the option button `id` is checked (the checked bit alone).
bool screen_option_checked(void* dialog, int id);

enum class FilePrompt { save, open };

// Shows the platform's file dialog owned by `owner`, titled `title`, offering the
// NUL-terminated path in `path` (capacity bytes, the NUL included) as its initial file
// name. Returns true with the chosen path in `path`, false when the operator cancelled
// or the dialog failed (path too long, for instance); `path` is then unchanged.
bool prompt_for_file(void* owner, FilePrompt kind, const char* title, char* path,
                     std::size_t capacity);

// ---- The dialog's initialisation ----------------------------------------------------

void screen_combo_insert(void* dialog, int id, int index, const char* text);
void screen_combo_select(void* dialog, int id, int index);
void screen_option_check(void* dialog, int id);

// ---- The command worker's thread and its queue --------------------------------------

// A message on the worker's queue: the platform's command message as the dialog
// received it, or the quit message.
struct WorkerMessage {
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
};
inline constexpr std::uint32_t message_command = 0x0111; // WM_COMMAND
inline constexpr std::uint32_t message_quit = 0x0012;    // WM_QUIT

// Creates the worker thread running `routine`. The worker's queue exists when this
// returns, so a command posted at once is not lost. False when no thread was created.
bool worker_thread_start(void (*routine)());

// Appends a message to the worker's queue; false when it could not be posted.
bool worker_post(const WorkerMessage& message);

// Waits for the next message of the worker's queue, in arrival order, and takes it.
// A message already queued is taken at once. Returns 1 for a message, 0 for the quit
// message, -1 when taking failed.
int worker_take(WorkerMessage* message);

// Posts the quit message and waits until the worker thread has ended. The caller must
// keep serving the worker's screen requests while it waits.
void worker_thread_stop();
