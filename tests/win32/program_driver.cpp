#include "tests/win32/program_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

constexpr DWORD poll_ms = 50;
constexpr DWORD start_timeout_ms = 60000;

// Polls `condition` until it holds or the time-out has passed.
template <typename Condition> bool wait_until(Condition condition, DWORD timeout_ms) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(poll_ms);
    }
}

std::string directory_of_this_program() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

struct WindowSearch {
    DWORD process_id;
    const char* title;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM search_address) {
    // EnumWindows hands the search over as its LPARAM.
    auto* search = reinterpret_cast<WindowSearch*>( // NOLINT(performance-no-int-to-ptr)
        search_address);
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (process_id == search->process_id && std::string(title) == search->title &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The file dialogs' file name field: the edit (edt1) or the combo with an edit (cmb13).
constexpr int file_name_edit = 0x480;
constexpr int file_name_combo = 0x47c;

} // namespace

ProgramDriver::~ProgramDriver() {
    if (process_.hProcess != nullptr) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 10000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool ProgramDriver::start(const std::string& arguments) {
    const std::string program = directory_of_this_program() + "\\velmora-sim.exe";
    std::string command_line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process_)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", program.c_str(), GetLastError());
        process_ = {};
        return false;
    }
    wait_until([this] { return (dialog_ = find_window(dialog_caption)) != nullptr; },
               start_timeout_ms);
    return dialog_ != nullptr;
}

HWND ProgramDriver::find_window(const char* title) const {
    WindowSearch search{process_.dwProcessId, title, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ProgramDriver::control_text(int id) const {
    char text[256] = {};
    GetDlgItemTextA(dialog_, id, text, sizeof text);
    return text;
}

std::vector<std::string> ProgramDriver::console() const {
    std::vector<std::string> lines;
    const HWND list = control(108);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    // Across processes the list box's text arrives reliably in the wide form only (Wine
    // hands LB_GETTEXT over as Unicode): read it so and convert it.
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[512] = {};
        char text[1024] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 512) {
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        }
        lines.emplace_back(text);
    }
    return lines;
}

bool ProgramDriver::wait_for_lines(std::size_t count) const {
    return wait_until(
        [&] {
            return SendMessageA(control(108), LB_GETCOUNT, 0, 0) >= static_cast<LRESULT>(count);
        },
        answer_timeout_ms);
}

bool ProgramDriver::wait_for_line(const std::string& line, int times) const {
    return wait_until(
        [&] {
            int seen = 0;
            for (const std::string& text : console()) {
                seen += text == line ? 1 : 0;
            }
            return seen >= times;
        },
        answer_timeout_ms);
}

void ProgramDriver::press(int id) const {
    PostMessageA(control(id), BM_CLICK, 0, 0);
}

void ProgramDriver::send_key_command(int command) const {
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
}

void ProgramDriver::set_text(int id, const char* text) const {
    SendMessageA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int ProgramDriver::progress_position() const {
    return static_cast<int>(SendMessageA(control(113), PBM_GETPOS, 0, 0));
}

bool ProgramDriver::wait_for_progress_at_least(int position) const {
    return wait_until([&] { return progress_position() >= position; }, answer_timeout_ms);
}

bool ProgramDriver::answer_file_dialog(const char* title, const std::string& path,
                                       std::string* offered) const {
    HWND prompt = nullptr;
    HWND field = nullptr;
    const bool found = wait_until(
        [&] {
            prompt = find_window(title);
            if (prompt == nullptr) {
                return false;
            }
            field = GetDlgItem(prompt, file_name_edit);
            if (field == nullptr) {
                field = GetDlgItem(prompt, file_name_combo);
            }
            return field != nullptr && IsWindowEnabled(GetDlgItem(prompt, IDOK));
        },
        answer_timeout_ms);
    if (!found) {
        return false;
    }
    if (offered != nullptr) {
        char text[MAX_PATH] = {};
        SendMessageA(field, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        *offered = text;
    }
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(prompt, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(prompt, IDOK)));
    return wait_until([&] { return !IsWindow(prompt); }, answer_timeout_ms);
}

bool ProgramDriver::send_ctrl_break() const {
    // The program runs in a process group of its own: the signal reaches it alone.
    return GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process_.dwProcessId) != 0;
}

bool ProgramDriver::wait_for_end(DWORD* exit_code) const {
    if (WaitForSingleObject(process_.hProcess, answer_timeout_ms) != WAIT_OBJECT_0) {
        return false;
    }
    GetExitCodeProcess(process_.hProcess, exit_code);
    return true;
}

bool ProgramDriver::close(DWORD* exit_code) {
    PostMessageA(dialog_, WM_CLOSE, 0, 0);
    return wait_for_end(exit_code);
}

void ProgramDriver::detach() {
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
}

ScratchDirectory::ScratchDirectory(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    directory_ = std::string(temp) + name + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(directory_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((directory_ + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((directory_ + "\\" + entry.cFileName).c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(directory_.c_str());
}

std::vector<unsigned char> file_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), {});
}

bool write_file(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
