// Drives the Windows program from outside, as an operator would: starts velmora-sim.exe,
// finds its dialog by caption, presses buttons, answers the file dialogs and reads the
// console. Every wait is bounded: a program that does not answer fails the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline constexpr char dialog_caption[] = " Velmora Family Programmer V1.0";
inline constexpr DWORD answer_timeout_ms = 180000;

class ProgramDriver {
  public:
    ProgramDriver() = default;
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;
    ~ProgramDriver(); // ends the program if it still runs

    // Starts velmora-sim.exe (beside this program) with `arguments` and waits for its
    // dialog. False when it did not start or show its dialog in time.
    bool start(const std::string& arguments);

    HWND dialog() const { return dialog_; }
    HWND control(int id) const { return GetDlgItem(dialog_, id); }
    std::string control_text(int id) const;

    // The console's lines, read from the list box.
    std::vector<std::string> console() const;

    // Waits until the console holds at least `count` lines; false on time-out.
    bool wait_for_lines(std::size_t count) const;
    // Waits until `line` appears `times` times in the console; false on time-out.
    bool wait_for_line(const std::string& line, int times = 1) const;

    // Presses a button of the dialog (as a click on it, through the dialog's queue).
    void press(int id) const;
    // A command the platform sends for the keyboard: IDOK for Enter, IDCANCEL for Escape.
    void send_key_command(int command) const;
    void set_text(int id, const char* text) const;

    int progress_position() const;
    bool wait_for_progress_at_least(int position) const;

    // Finds the program's file dialog by its title, reports the file name it offers,
    // types `path` into it and presses its OK button. False on time-out.
    bool answer_file_dialog(const char* title, const std::string& path,
                            std::string* offered = nullptr) const;

    // Asks the dialog to close and waits for the process to end. False on time-out;
    // `exit_code` receives the program's exit status.
    bool close(DWORD* exit_code);

    // Sends the program's console Ctrl+Break; false when it could not be sent.
    bool send_ctrl_break() const;
    // Waits for the process to end; false on time-out.
    bool wait_for_end(DWORD* exit_code) const;

    // Leaves the program running when this driver goes (the screenshot).
    void detach();

  private:
    HWND find_window(const char* title) const;

    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
};

// A fresh directory under the system's temporary directory, removed with its files.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const char* name);
    ~ScratchDirectory();
    std::string path(const char* file) const { return directory_ + "\\" + file; }

  private:
    std::string directory_;
};

// The whole content of a file; empty when it cannot be read.
std::vector<unsigned char> file_bytes(const std::string& path);
bool write_file(const std::string& path, const std::vector<unsigned char>& bytes);
