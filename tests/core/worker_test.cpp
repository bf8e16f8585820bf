// The command worker: its queue and thread, the command table, the Delay constant field,
// the file read option and the two file prompts. The chip here is the recording port with
// every status line low: each SYNC is ready and every byte reads 0x00, so an erase ends at
// its first poll, a blank check finds mismatches and a file of zeros verifies.
#include "cable/nibble.h"
#include "cable/port.h"
#include "platform/platform.h"
#include "platform/test/test_platform.h"
#include "scratch_folder.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"
#include "ui/worker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_platform::console;

constexpr char aborted_line[] = "-- Operation Aborted --";

int count_of(const std::string& line) {
    return static_cast<int>(std::count(console.begin(), console.end(), line));
}

bool console_has(const std::string& line) {
    return count_of(line) > 0;
}

class Worker : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        test_platform::reset_dialog();
        test_platform::status_default = 0x00;
        test_platform::keep_log = false;
        port_access_granted = true;
        save_path[0] = '\0';
        open_path[0] = '\0';
        folder_.create("velmora_worker_");
        dir_ = folder_.dir;
    }
    void TearDown() override {
        worker_thread_stop();
        port_access_granted = false;
        folder_.remove();
    }

    std::string path(const char* name) const { return folder_.path(name); }

    // A file of `first` bytes of one value followed by `second` bytes of another.
    std::string make_file(const char* name, std::size_t first, char a, std::size_t second = 0,
                          char b = 0) const {
        std::string p = path(name);
        std::ofstream(p, std::ios::binary) << std::string(first, a) << std::string(second, b);
        return p;
    }

    static void answer(const std::string& file) {
        test_platform::prompt_answers.push_back({true, file, false});
    }
    static void cancel() { test_platform::prompt_answers.push_back({false, "", false}); }

    ScratchFolder folder_;
    fs::path dir_;
};

// ---- The queue and the thread ----------------------------------------------------------

std::vector<WorkerMessage> taken;
int last_take_result = 1;

void recording_routine() {
    WorkerMessage message{};
    while ((last_take_result = worker_take(&message)) > 0) {
        taken.push_back(message);
    }
}

TEST_F(Worker, QueueHandsOverEveryMessageInArrivalOrderThenEndsOnQuit) {
    taken.clear();
    ASSERT_TRUE(worker_thread_start(recording_routine));
    for (std::uintptr_t id = 110; id <= 120; ++id) {
        ASSERT_TRUE(
            worker_post(WorkerMessage{message_command, id, static_cast<std::intptr_t>(id * 2)}));
    }
    worker_thread_stop();
    // Every message posted before the quit was taken, each one once, in order: one that
    // was already queued when the previous one was done is taken at once.
    ASSERT_EQ(taken.size(), 11u);
    for (std::size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(taken[i].wparam, 110 + i);
        EXPECT_EQ(taken[i].lparam, static_cast<std::intptr_t>((110 + i) * 2));
    }
    EXPECT_EQ(last_take_result, 0);
    // The worker has ended: nothing more is taken in, and it can be started again.
    EXPECT_FALSE(worker_post(WorkerMessage{message_command, 110, 0}));
    EXPECT_TRUE(worker_thread_start(recording_routine));
}

TEST_F(Worker, RunsQueuedCommandsOneAtATimeInOrderAndDropsOtherMessages) {
    cancel();
    cancel();
    cancel();
    test_platform::abort_on_delay_read = 1; // Abort pressed as the first command starts
    ASSERT_TRUE(worker_thread_start(command_worker));
    const std::uintptr_t notification = 0x00010000; // high word: ignored
    worker_post(WorkerMessage{message_command, notification | id_read, 0});
    worker_post(WorkerMessage{0x0200, id_chip_id, 0}); // not a command: dropped
    worker_post(WorkerMessage{message_command, id_verify, 0});
    worker_post(WorkerMessage{message_command, id_chip_id, 0});
    worker_post(WorkerMessage{message_command, id_read, 0});
    worker_thread_stop();

    ASSERT_EQ(test_platform::prompts.size(), 3u);
    EXPECT_EQ(test_platform::prompts[0].title, "Save LPC image as");
    EXPECT_EQ(test_platform::prompts[1].title, "Read LPC image from");
    EXPECT_EQ(test_platform::prompts[2].title, "Save LPC image as");
    // The abort of the first command is reported after it and cleared before the next;
    // Chip ID ran once (the dropped message ran nothing).
    EXPECT_EQ(console, (std::vector<std::string>{aborted_line, "Mfg=0x0 Device=0x0"}));
}

// ---- The command table ------------------------------------------------------------------

TEST_F(Worker, IdsWithoutAnEntryRunNothingButStillClearTakeTheDelayAndReportAbort) {
    const std::string seven = "7";
    for (const int id : {109, 111, 113, 114, 119, 121, 0, 0xFFFF}) {
        test_platform::reset();
        test_platform::status_default = 0x00;
        test_platform::delay_text = seven;
        request_abort();
        test_platform::abort_on_delay_read = 1;
        run_command(id);
        EXPECT_EQ(delay_constant, 7u) << id;
        EXPECT_TRUE(test_platform::accesses.empty()) << id;
        EXPECT_EQ(test_platform::counts.data_writes, 0u) << id;
        EXPECT_EQ(console, (std::vector<std::string>{aborted_line})) << id;
        EXPECT_FALSE(command_has_entry(id)) << id;
    }
}

TEST_F(Worker, AbortPressedWhileIdleIsClearedByTheNextCommand) {
    request_abort();
    run_command(id_chip_id);
    EXPECT_EQ(console, (std::vector<std::string>{"Mfg=0x0 Device=0x0"}));
    EXPECT_FALSE(abort_is_requested());
}

TEST_F(Worker, FaultsOfOneCommandAreClearedBeforeTheNext) {
    operation_faults = fault_bus | fault_file | fault_mismatch;
    run_command(id_chip_id);
    EXPECT_EQ(operation_faults, 0);
    run_command(id_blank_check); // every byte reads 0x00: the chip differs
    EXPECT_EQ(operation_faults, fault_mismatch);
}

TEST_F(Worker, EraseAndBlankCheckLeaveTheProgressEmptyWhateverTheBlankCheckFound) {
    for (const int id : {id_erase, id_blank_check}) {
        console.clear();
        test_platform::progress = {};
        run_command(id);
        EXPECT_TRUE(console_has("Blank check Aborted")) << id;
        EXPECT_EQ(test_platform::progress.upper, 65) << id;
        EXPECT_EQ(test_platform::progress.position, 0) << id;
    }
}

TEST_F(Worker, WithoutPortAccessNoChipOperationRunsAndEachCommandSaysSo) {
    port_access_granted = false;
    answer(make_file("zeros.bin", 262144, 0));
    const int chip_commands[] = {id_chip_id, id_erase,  id_write,  id_blank_check,
                                 id_read,    id_verify, id_program};
    for (const int id : chip_commands) {
        console.clear();
        run_command(id);
        EXPECT_EQ(console, (std::vector<std::string>{"No port access: command not run"})) << id;
        EXPECT_EQ(operation_faults, fault_bus) << id;
    }
    EXPECT_EQ(test_platform::counts.data_writes + test_platform::counts.data_reads, 0u);
    EXPECT_TRUE(test_platform::prompts.empty());
    run_command(id_operations_group);
    EXPECT_EQ(operation_faults, 0);
}

// ---- The Delay constant field -----------------------------------------------------------

TEST_F(Worker, DelayFieldGivesItsNumberOrZero) {
    const struct {
        const char* text;
        std::uint32_t delay;
    } cases[] = {
        {"0", 0},          {"1", 1},
        {"250", 250},      {" 42 ", 42},
        {"0007", 7},       {"4294967295", 4294967295u},
        {"4294967296", 0}, {"99999999999999999999", 0},
        {"", 0},           {"   ", 0},
        {"-1", 0},         {"+5", 0},
        {"12a", 0},        {"0x10", 0},
        {"1 2", 0},        {"1.5", 0},
    };
    for (const auto& c : cases) {
        delay_constant = 12345;
        test_platform::delay_text = c.text;
        run_command(id_operations_group);
        EXPECT_EQ(delay_constant, c.delay) << '"' << c.text << '"';
    }
}

TEST_F(Worker, DelayIsTakenOncePerCommandBeforeItRuns) {
    test_platform::delay_text = "3";
    run_command(id_chip_id);
    EXPECT_EQ(delay_constant, 3u);
    test_platform::delay_text = "nonsense";
    run_command(id_chip_id);
    EXPECT_EQ(delay_constant, 0u);
}

// ---- The prompts ------------------------------------------------------------------------

TEST_F(Worker, CancelledPromptEndsTheCommandSilently) {
    const struct {
        int id;
        FilePrompt kind;
        const char* title;
    } cases[] = {
        {id_read, FilePrompt::save, "Save LPC image as"},
        {id_write, FilePrompt::open, "Read LPC image from"},
        {id_verify, FilePrompt::open, "Read LPC image from"},
    };
    for (const auto& c : cases) {
        test_platform::reset();
        test_platform::prompts.clear();
        cancel();
        run_command(c.id);
        ASSERT_EQ(test_platform::prompts.size(), 1u) << c.id;
        EXPECT_EQ(test_platform::prompts[0].kind, c.kind) << c.id;
        EXPECT_EQ(test_platform::prompts[0].title, c.title) << c.id;
        EXPECT_EQ(test_platform::prompts[0].owner, dialog_handle) << c.id;
        EXPECT_TRUE(console.empty()) << c.id;
        EXPECT_TRUE(test_platform::accesses.empty()) << c.id; // not a single bus access
        EXPECT_EQ(operation_faults, 0) << c.id;
    }
}

TEST_F(Worker, ProgramWithThePromptCancelledLeavesTheChipErasedOnly) {
    cancel();
    test_platform::keep_log = true;
    run_command(id_program);
    ASSERT_EQ(test_platform::prompts.size(), 1u);
    EXPECT_TRUE(console.empty());
    // The erase ran before the prompt: 16 blocks, six command writes each ending with the
    // 0x50 erase command, and nothing after it.
    EXPECT_GT(test_platform::counts.data_writes, 0u);
    EXPECT_EQ(test_platform::progress.range_set, false);
}

TEST_F(Worker, TooLongAPathFailsLikeACancelAndKeepsTheRememberedOne) {
    answer(make_file("short.bin", 16, 0));
    run_command(id_verify);
    answer(std::string(image_path_capacity, 'x')); // 260 characters: no room for the NUL
    console.clear();
    run_command(id_verify);
    EXPECT_TRUE(console.empty());
    EXPECT_EQ(std::string(open_path), path("short.bin"));
}

TEST_F(Worker, ReadAndTheOpenCommandsEachRememberTheirOwnPath) {
    const std::string dump = path("dump.bin");
    const std::string source = path("missing.bin");
    answer(dump);
    run_command(id_read);
    answer(source); // Write: cannot open it, and says so
    run_command(id_write);
    cancel();
    run_command(id_read);
    cancel();
    run_command(id_verify);
    cancel();
    run_command(id_program);
    ASSERT_EQ(test_platform::prompts.size(), 5u);
    EXPECT_EQ(test_platform::prompts[0].offered, "");
    EXPECT_EQ(test_platform::prompts[1].offered, "");
    EXPECT_EQ(test_platform::prompts[2].offered, dump);
    EXPECT_EQ(test_platform::prompts[3].offered, source);
    EXPECT_EQ(test_platform::prompts[4].offered, source);
    EXPECT_EQ(fs::file_size(dump), 262144u);
    EXPECT_EQ(count_of("Cannot open file for reading"), 1);
}

TEST_F(Worker, FromStartOptionCountsOnlyWhenButton122IsChecked) {
    // The first window is all 0x00 (the chip), the last one all 0x11.
    const std::string file = make_file("two_windows.bin", 262144, 0x00, 262144, 0x11);
    const struct {
        std::set<int> checked;
        const char* end_line;
    } cases[] = {
        {{id_from_start}, "Verify completed"},
        {{}, "Verify Aborted"},
        {{id_from_end}, "Verify Aborted"},
        {{id_from_start, id_from_end}, "Verify completed"},
    };
    for (const auto& c : cases) {
        console.clear();
        test_platform::checked_options = c.checked;
        answer(file);
        run_command(id_verify);
        EXPECT_TRUE(console_has(c.end_line)) << c.checked.size();
    }
}

TEST_F(Worker, ProgramErasesThenProgramsAndVerifiesTheSameWindow) {
    test_platform::checked_options = {id_from_start};
    answer(make_file("image.bin", 262144, 0x00, 262144, 0x11));
    run_command(id_program);
    EXPECT_EQ(console, (std::vector<std::string>{"Write completed", "Verify completed"}));
    EXPECT_EQ(test_platform::prompts.size(), 1u);
}

// ---- Abort during each kind of command ---------------------------------------------------

TEST_F(Worker, AbortDuringACommandIsReportedAfterIt) {
    const std::string zeros = make_file("zeros.bin", 262144, 0);
    const struct {
        int id;
        bool prompt;
        std::vector<std::string> lines; // before the aborted line
    } cases[] = {
        // The identification never polls the flag: it runs to its end.
        {id_chip_id, false, {"Mfg=0x0 Device=0x0"}},
        // The walks stop at their first poll, after one position, with no end line.
        {id_erase, false, {"Address 0x00000=00 != 0xff"}},
        {id_blank_check, false, {"Address 0x00000=00 != 0xff"}},
        {id_read, true, {}},
        {id_write, true, {}},
        {id_verify, true, {}},
        {id_program, true, {}},
    };
    for (const auto& c : cases) {
        test_platform::reset();
        test_platform::status_default = 0x00;
        test_platform::keep_log = false;
        // Abort is pressed as the command starts, or while its file is chosen.
        if (c.prompt) {
            test_platform::prompt_answers.push_back(
                {true, c.id == id_read ? path("partial.bin") : zeros, true});
        } else {
            test_platform::abort_on_delay_read = 1;
        }
        run_command(c.id);
        std::vector<std::string> expected = c.lines;
        expected.emplace_back(aborted_line);
        EXPECT_EQ(console, expected) << c.id;
        EXPECT_FALSE(console_has("Write completed")) << c.id;
    }
    // The aborted dump handled exactly one position.
    EXPECT_EQ(fs::file_size(path("partial.bin")), 1u);
}

} // namespace
