// The test realisation of the named operations: a recording port, an in-memory console and
// a progress model, all inspected by the tests.
#pragma once

#include "cable/port.h"
#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

struct RecordedAccess {
    char kind; // 'R' port read, 'W' port write, 'S' sleep_ms (address 0, value = ms)
    std::uint16_t address;
    std::uint32_t value;
    bool operator==(const RecordedAccess&) const = default;
};

namespace test_platform {

// Every port access and sleep, in order (while keep_log is set), and counts by kind.
extern std::vector<RecordedAccess> accesses;
extern bool keep_log;
struct AccessCounts {
    std::uint64_t data_reads, data_writes, status_reads, other;
};
extern AccessCounts counts;

// Without an inner backend the data register latches what is written, and status reads
// take the scripted answers in order, then status_default.
extern std::uint8_t data_register;
extern std::deque<std::uint8_t> status_script;
extern std::uint8_t status_default;

extern std::vector<std::string> console;
struct ProgressModel {
    bool range_set;
    std::uint16_t upper;
    std::uint16_t position;
};
extern ProgressModel progress;

// Clears every record, installs the recording port with no inner backend, records a
// dialog handle and resets the cable's and engine's variables to their start values.
void reset();

// Records every access and passes it on to `inner` (the simulated chip, say).
void record_and_forward(PortBackend inner);

// Only the writes of the data register, in order.
std::vector<std::uint8_t> data_writes();

// ---- The dialog's fields, option buttons and file prompts (test_dialog.cpp) -------------

// What the Delay constant field holds, read as the worker reads it.
extern std::string delay_text;
// The option buttons that report the checked state.
extern std::set<int> checked_options;

// The operator's answers to the file prompts, taken in order; with none left the prompt is
// cancelled. An accepted path that does not fit the caller's buffer fails like a cancel.
struct PromptAnswer {
    bool accept;
    std::string path;
    bool press_abort; // Abort is pressed while the prompt is answered (on the worker)
};
extern std::deque<PromptAnswer> prompt_answers;

// Every prompt shown: its owner, kind, title and the path it offered.
struct PromptRecord {
    void* owner;
    FilePrompt kind;
    std::string title;
    std::string offered;
};
extern std::vector<PromptRecord> prompts;

// Abort is pressed as the worker reads the Delay constant field (right after it cleared
// the flag), once per command while this many commands remain.
extern int abort_on_delay_read;

// What the dialog's initialisation did to the combos and option buttons.
struct ComboEntry {
    int id;
    int index;
    std::string text;
};
extern std::vector<ComboEntry> combo_entries;
extern std::map<int, int> combo_selection;
extern std::vector<int> options_checked; // screen_option_check calls, in order

// Empties the dialog's records and scripts: an empty delay field, no option checked, no
// prompt answers.
void reset_dialog();

} // namespace test_platform
