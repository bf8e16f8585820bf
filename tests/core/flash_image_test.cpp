// The whole-image operations against the recording port: the walk's report allowance,
// abort and progress, and the paths that cannot be opened. The chip here answers every read with
// 0x00 (status register all low: a ready SYNC and a zero byte); whole operations on a chip with
// contents run against the simulated chip.
#include "flash/image.h"
#include "lpc/cycle.h"
#include "platform/test/test_platform.h"
#include "scratch_folder.h"
#include "ui/feedback.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_platform::console;

constexpr std::uint16_t data_reg = 0x378;

// Status-register reads of one read cycle with one SYNC clock, and of one write cycle.
constexpr std::uint64_t status_per_read = 15;
constexpr std::uint64_t status_per_write = 9;

std::uint64_t read_cycles() {
    return test_platform::counts.status_reads / status_per_read;
}

class ImageWalk : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        test_platform::status_default = 0x00;
        folder_.create("velmora_flash_");
        dir_ = folder_.dir;
    }
    void TearDown() override { folder_.remove(); }

    std::string path(const char* name) const { return folder_.path(name); }

    std::string make_file(const char* name, std::size_t size, char fill) const {
        std::string p = path(name);
        std::ofstream(p, std::ios::binary) << std::string(size, fill);
        return p;
    }

    ScratchFolder folder_;
    fs::path dir_;
};

// ---- Paths that cannot be opened -----------------------------------------------------

struct OpenCase {
    const char* name;
    int kind; // 0 missing, 1 folder, 2 empty path
    std::vector<std::string> lines_after_first;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class UnopenablePath : public ImageWalk, public ::testing::WithParamInterface<OpenCase> {
  protected:
    std::string target() {
        const OpenCase& c = GetParam();
        if (c.kind == 2) {
            return "";
        }
        std::string p = path("target");
        if (c.kind == 1) {
            fs::create_directory(p);
        }
        return p;
    }
    void expect_nothing_else_happened(const char* first_line) {
        std::vector<std::string> expected{first_line};
        for (const std::string& line : GetParam().lines_after_first) {
            expected.push_back(line);
        }
        EXPECT_EQ(console, expected);
        EXPECT_TRUE(test_platform::accesses.empty()) << "no bus cycle, no bus reset";
        EXPECT_FALSE(test_platform::progress.range_set);
        EXPECT_EQ(operation_faults, fault_file);
    }
};

TEST_P(UnopenablePath, ProgramAndVerifyRefuseWithoutTouchingTheChip) {
    const std::string p = target();
    for (const bool from_end : {false, true}) {
        test_platform::reset();
        program_from_file(p.c_str(), from_end);
        expect_nothing_else_happened("Cannot open file for reading");
        test_platform::reset();
        EXPECT_EQ(verify_against_file(p.c_str(), from_end), 0);
        expect_nothing_else_happened("Cannot open file for reading");
    }
}

TEST_P(UnopenablePath, DumpRefusesWithoutTouchingTheChip) {
    std::string p = target();
    if (GetParam().kind == 0) {
        p = path("no_such_folder/image.bin");
    }
    dump_to_file(p.c_str());
    expect_nothing_else_happened("Cannot open file for writing");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UnopenablePath,
    ::testing::Values(OpenCase{"missing", 0, {}},
                      OpenCase{"folder", 1, {"The path names a folder, not a file"}},
                      OpenCase{"empty", 2, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Report allowance and segment skip -----------------------------------------------

TEST_F(ImageWalk, BlankCheckReportsSixteenThenLeavesEverySegmentAtItsFirstMismatch) {
    EXPECT_EQ(blank_check(), 0);
    std::vector<std::string> expected;
    for (int offset = 0; offset < 16; ++offset) {
        char line[64];
        std::snprintf(line, sizeof line, "Address 0x0%04x=00 != 0xff", offset);
        expected.emplace_back(line);
    }
    expected.emplace_back("Blank check Aborted");
    EXPECT_EQ(console, expected);
    // Each report reads its address twice; the 17th mismatch ends segment 0, and segments
    // 1 to 3 are left after their first read, with no progress step.
    EXPECT_EQ(read_cycles(), 16u * 2 + 1 + 3);
    EXPECT_EQ(test_platform::progress.upper, 65);
    EXPECT_EQ(test_platform::progress.position, 1) << "the bar is not reset";
    EXPECT_EQ(operation_faults, fault_mismatch);
}

TEST_F(ImageWalk, VerifyReportsDeviceAndFileBytesAgainstAFileWithFromEnd) {
    // 300 KB of 0x01 behind a different first part: the window is the last 256 KB.
    const std::string p = path("image.bin");
    {
        std::ofstream out(p, std::ios::binary);
        out << std::string(307200 - image_size, '\x7f') << std::string(image_size, '\x01');
    }
    EXPECT_EQ(verify_against_file(p.c_str(), true), 0);
    ASSERT_EQ(console.size(), 17u);
    EXPECT_EQ(console[0], "Address 0x00000=0x00 != 0x01");
    EXPECT_EQ(console[15], "Address 0x0000f=0x00 != 0x01");
    EXPECT_EQ(console[16], "Verify Aborted");
    EXPECT_EQ(read_cycles(), 16u + 1 + 3);
    EXPECT_EQ(test_platform::progress.position, 0) << "verify empties the bar at its end";
    EXPECT_EQ(operation_faults, fault_mismatch);
}

// ---- Abort ---------------------------------------------------------------------------

struct AbortCase {
    const char* name;
    int operation; // 0 blank check, 1 dump, 2 program, 3 verify
    std::uint64_t reads, writes;
    std::vector<std::string> lines;
};

void PrintTo(const AbortCase& c, std::ostream* os) {
    *os << c.name;
}

class AbortAtStart : public ImageWalk, public ::testing::WithParamInterface<AbortCase> {};

TEST_P(AbortAtStart, HandlesExactlyOnePosition) {
    const AbortCase& c = GetParam();
    const std::string in = make_file("in.bin", 10, '\x42');
    const std::string out = path("out.bin");
    request_abort();
    test_platform::keep_log = false;
    int result = 0;
    switch (c.operation) {
    case 0:
        result = blank_check();
        break;
    case 1:
        dump_to_file(out.c_str());
        EXPECT_EQ(fs::file_size(out), 1u) << "one byte, the file closed";
        break;
    case 2:
        program_from_file(in.c_str(), false);
        break;
    default:
        result = verify_against_file(in.c_str(), false);
        break;
    }
    EXPECT_EQ(result, 0);
    const auto& counts = test_platform::counts;
    EXPECT_EQ(counts.status_reads, c.reads * status_per_read + c.writes * status_per_write);
    EXPECT_EQ(test_platform::progress.position, 1) << "its progress step is made";
    EXPECT_EQ(console, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, AbortAtStart,
    ::testing::Values(AbortCase{"blank_check", 0, 2, 0, {"Address 0x00000=00 != 0xff"}},
                      AbortCase{"dump", 1, 1, 0, {}}, AbortCase{"program", 2, 1, 4, {}},
                      AbortCase{"verify", 3, 1, 0, {"Address 0x00000=0x00 != 0x42"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A chip that reads 0x00 and presses Abort while position `abort_at` is being read.
std::uint64_t abort_at = 0;
std::uint64_t status_reads_seen = 0;
std::uint8_t latched_data = 0;

std::uint8_t aborting_read(std::uint16_t address) {
    if (address == data_reg) {
        return latched_data;
    }
    if (++status_reads_seen == (abort_at + 1) * status_per_read) {
        request_abort();
    }
    return 0x00;
}

void aborting_write(std::uint16_t address, std::uint8_t value) {
    if (address == data_reg) {
        latched_data = value;
    }
}

TEST_F(ImageWalk, DumpAbortedAfterPositionKLeavesKPlusOneBytes) {
    for (const std::uint64_t k : {1u, 4095u, 70000u}) {
        test_platform::reset();
        test_platform::keep_log = false;
        test_platform::record_and_forward(PortBackend{aborting_read, aborting_write});
        abort_at = k;
        status_reads_seen = 0;
        const std::string out = path("out.bin");
        dump_to_file(out.c_str());
        EXPECT_EQ(fs::file_size(out), k + 1) << k;
        EXPECT_TRUE(console.empty());
        EXPECT_EQ(operation_faults, 0);
    }
}

TEST_F(ImageWalk, EveryOperationEndsWithTheUntrustedLineWhenTheBusFailed) {
    test_platform::status_default = 0xFF; // no chip: SYNC 0xF, bytes 0xFF
    test_platform::keep_log = false;
    EXPECT_EQ(blank_check(), 1);
    ASSERT_GE(console.size(), 2u);
    EXPECT_EQ(console[console.size() - 2], "Blank check completed");
    EXPECT_EQ(console.back(),
              "Warning: 262144 bus errors in this operation, result cannot be trusted");
    EXPECT_EQ(operation_faults, fault_bus);
}

} // namespace
