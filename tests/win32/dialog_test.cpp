// The Windows program end to end: velmora-sim.exe started on the simulated chip and driven
// from outside through its dialog, its console and the real file dialogs.
//   dialog_tests            the tests
//   dialog_tests --demo     starts the program, runs Chip ID and Blank check, and leaves
//                           it open (for the screenshot)
#include "tests/win32/program_driver.h"
#include "ui/dialog_template.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char first_line[] = "Velmora Family Using Rev.2 driver";
constexpr char id_line[] = "Mfg=0xbf Device=0x52";
constexpr char aborted_line[] = "-- Operation Aborted --";
constexpr std::size_t image_size = 262144;

// A delay that makes a whole-image walk take minutes: an operation that is still running
// when Abort or a close arrives.
constexpr char slow_delay[] = "3000";

class Program : public ::testing::Test {
  protected:
    void SetUp() override {
        // The chip's image file exists (erased), so the driver's line is the first.
        ASSERT_TRUE(
            write_file(scratch_.path("chip.bin"), std::vector<unsigned char>(image_size, 0xFF)));
        ASSERT_TRUE(program_.start("--simulate=\"" + scratch_.path("chip.bin") + "\""));
        ASSERT_TRUE(program_.wait_for_line(first_line));
    }

    // The console's lines after the first.
    std::vector<std::string> later_lines() const {
        const std::vector<std::string> all = program_.console();
        return std::vector<std::string>(all.begin() + 1, all.end());
    }

    ScratchDirectory scratch_{"velmora_dialog_test"};
    ProgramDriver program_;
};

TEST_F(Program, StartsWithItsCaptionControlsAndFirstConsoleLine) {
    char caption[128] = {};
    GetWindowTextA(program_.dialog(), caption, sizeof caption);
    EXPECT_STREQ(caption, dialog_caption);
    for (int i = 0; i < main_dialog_template.control_count; ++i) {
        const DialogControl& control = main_dialog_template.controls[i];
        if (control.text != nullptr && control.id != id_delay) {
            EXPECT_EQ(program_.control_text(control.id), control.text) << control.id;
        }
    }
    EXPECT_EQ(program_.control_text(id_delay), "0");
    // The console's first line is the driver's; the probe's result shows in the cable type.
    const std::vector<std::string> console = program_.console();
    ASSERT_FALSE(console.empty());
    EXPECT_EQ(console.front(), first_line);
    EXPECT_EQ(program_.control_text(id_cable_type), "Velmra Famaily Rev.2");
    EXPECT_EQ(program_.control_text(id_io_address), "378 (Hex) LPT1:");
    EXPECT_FALSE(IsWindowEnabled(program_.control(id_cable_type)));
    EXPECT_FALSE(IsWindowEnabled(program_.control(id_io_address)));
    EXPECT_EQ(SendMessageA(program_.control(id_from_end), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(program_.control(id_from_start), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    DWORD exit_code = 1;
    ASSERT_TRUE(program_.close(&exit_code));
    EXPECT_EQ(exit_code, 0u);
}

TEST_F(Program, EnterAndEscapeRunNothingAndQueuedPressesRunInOrder) {
    program_.send_key_command(IDCANCEL); // Escape
    program_.send_key_command(IDOK);     // Enter
    program_.press(id_chip_id);
    program_.press(id_blank_check);
    program_.press(id_chip_id);
    ASSERT_TRUE(program_.wait_for_line(id_line, 2));
    EXPECT_EQ(later_lines(), (std::vector<std::string>{id_line, "Blank check completed", id_line}));
    EXPECT_TRUE(IsWindow(program_.dialog())) << "Escape does not close the dialog";
    EXPECT_EQ(program_.progress_position(), 0);
}

TEST_F(Program, ProgramVerifyAndReadThroughTheFileDialogs) {
    // 100 bytes more than the chip: with "End of file" checked the chip gets the last
    // 262,144 bytes.
    std::vector<unsigned char> source(image_size + 100);
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = static_cast<unsigned char>((i * 7 + i / 251) & 0xFF);
    }
    const std::vector<unsigned char> window(source.end() - image_size, source.end());
    ASSERT_TRUE(write_file(scratch_.path("source.bin"), source));

    program_.press(id_program);
    ASSERT_TRUE(program_.answer_file_dialog("Read LPC image from", scratch_.path("source.bin")));
    ASSERT_TRUE(program_.wait_for_line("Verify completed"));
    EXPECT_EQ(later_lines(), (std::vector<std::string>{"Write completed", "Verify completed"}));

    // Read, then Chip ID queued behind it: its line says the dump has ended. (While the
    // save dialog is open the main dialog takes no input.)
    program_.press(id_read);
    ASSERT_TRUE(program_.answer_file_dialog("Save LPC image as", scratch_.path("dump.bin")));
    program_.press(id_chip_id);
    ASSERT_TRUE(program_.wait_for_line(id_line));
    EXPECT_EQ(file_bytes(scratch_.path("dump.bin")), window);

    // Verify offers the path chosen last for Program, not the one of Read.
    program_.press(id_verify);
    std::string offered;
    ASSERT_TRUE(
        program_.answer_file_dialog("Read LPC image from", scratch_.path("source.bin"), &offered));
    // The dialog opens in the remembered file's folder and offers its name.
    EXPECT_EQ(offered, "source.bin");
    ASSERT_TRUE(program_.wait_for_line("Verify completed", 2));

    // The simulated chip keeps what was programmed in its image file.
    DWORD exit_code = 1;
    ASSERT_TRUE(program_.close(&exit_code));
    EXPECT_EQ(exit_code, 0u);
    EXPECT_EQ(file_bytes(scratch_.path("chip.bin")), window);
}

TEST_F(Program, AbortStopsTheRunningOperationAndTheNextCommandStartsClean) {
    program_.set_text(id_delay, slow_delay);
    program_.press(id_blank_check);
    ASSERT_TRUE(program_.wait_for_progress_at_least(1)); // the walk has begun
    program_.press(id_abort);
    ASSERT_TRUE(program_.wait_for_line(aborted_line));
    program_.set_text(id_delay, "0");
    program_.press(id_chip_id);
    ASSERT_TRUE(program_.wait_for_line(id_line));
    EXPECT_EQ(later_lines(), (std::vector<std::string>{aborted_line, id_line}));
}

TEST_F(Program, ClosingWhileAnOperationRunsStopsTheWorkerAndEndsWithZero) {
    program_.set_text(id_delay, slow_delay);
    program_.press(id_blank_check);
    ASSERT_TRUE(program_.wait_for_progress_at_least(1));
    program_.press(id_read); // queued: dropped by the close, no save dialog appears
    DWORD exit_code = 1;
    ASSERT_TRUE(program_.close(&exit_code)) << "the program did not end";
    EXPECT_EQ(exit_code, 0u);
}

TEST_F(Program, CtrlBreakOnTheConsoleClosesLikeTheCloseButton) {
    program_.set_text(id_delay, slow_delay);
    program_.press(id_blank_check);
    ASSERT_TRUE(program_.wait_for_progress_at_least(1));
    if (!program_.send_ctrl_break()) {
        GTEST_SKIP() << "no console signals here (Wine delivers none to a program without a "
                        "Windows console)";
    }
    DWORD exit_code = 1;
    ASSERT_TRUE(program_.wait_for_end(&exit_code)) << "the program did not end";
    EXPECT_EQ(exit_code, 0u) << "the dialog's result, not a forced end";
}

// ---- The screenshot's scene ------------------------------------------------------------

int run_demo() {
    ProgramDriver program;
    if (!program.start("--simulate") || !program.wait_for_line(first_line)) {
        return 1;
    }
    program.press(id_chip_id);
    program.press(id_blank_check);
    if (!program.wait_for_line("Blank check completed")) {
        return 1;
    }
    program.detach();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--demo") == 0) {
        return run_demo();
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
