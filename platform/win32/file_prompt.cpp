// The save and open prompts: the common file dialogs, shown by the command worker and
// owned by the main dialog.
#include "platform/platform.h"
#include "platform/win32/win32_dialog.h"
#include "ui/feedback.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Explorer-style dialog, long file names, the process's current directory left alone.
constexpr DWORD prompt_flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_NOCHANGEDIR;
static_assert(prompt_flags == 0x280008);

// The request carries its own size: 88 bytes for a 32-bit program (the layout with the
// reserved fields and FlagsEx at the end), 152 for a 64-bit one.
static_assert(sizeof(void*) != 4 || sizeof(OPENFILENAMEA) == 88);

// The dialog of each FilePrompt kind.
using FileDialog = BOOL(WINAPI*)(LPOPENFILENAMEA);
const FileDialog file_dialogs[] = {GetSaveFileNameA, GetOpenFileNameA};
static_assert(static_cast<int>(FilePrompt::save) == 0 && static_cast<int>(FilePrompt::open) == 1);

// A dialog that failed (not one that was cancelled) says why on the console.
void report_failure(DWORD error, std::size_t capacity) {
    char line[256];
    if (error == FNERR_BUFFERTOOSMALL) {
        std::snprintf(line, sizeof line, "File name too long: at most %u characters",
                      static_cast<unsigned>(capacity - 1));
    } else {
        std::snprintf(line, sizeof line, "The file dialog failed (error 0x%lx)",
                      static_cast<unsigned long>(error));
    }
    console_log(line);
}

} // namespace

bool prompt_for_file(void* owner, FilePrompt kind, const char* title, char* path,
                     std::size_t capacity) {
    if (main_dialog_closing() || capacity == 0) {
        return false;
    }
    // The dialog works on a copy, so that a cancelled prompt leaves the path as it was.
    char chosen[MAX_PATH] = {};
    const std::size_t size = std::min<std::size_t>(capacity, MAX_PATH);
    std::strncpy(chosen, path, size - 1);

    OPENFILENAMEA request{};
    request.lStructSize = sizeof(OPENFILENAMEA);
    request.hwndOwner = static_cast<HWND>(owner);
    request.lpstrFile = chosen;
    request.nMaxFile = static_cast<DWORD>(size);
    request.lpstrTitle = title;
    request.Flags = prompt_flags;
    if (!file_dialogs[static_cast<int>(kind)](&request)) {
        const DWORD error = CommDlgExtendedError();
        if (error != 0) {
            report_failure(error, size);
        }
        return false;
    }
    std::memcpy(path, chosen, std::strlen(chosen) + 1);
    return true;
}
