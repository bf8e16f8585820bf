// The flash commands and whole-image operations against the simulated cable and chip:
// whole operations end to end, with the chip's contents and faults set directly. Every
// access passes the recording port, which counts them (without keeping a log).
#include "flash/commands.h"
#include "flash/image.h"
#include "lpc/cycle.h"
#include "platform/test/test_platform.h"
#include "scratch_folder.h"
#include "sim/sim.h"
#include "ui/feedback.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_platform::console;
using Lines = std::vector<std::string>;

class FlashSim : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        test_platform::keep_log = false;
        sim_reset();
        test_platform::record_and_forward(sim_port_backend());
        folder_.create("velmora_flash_sim_");
        dir_ = folder_.dir;
    }
    void TearDown() override { folder_.remove(); }

    std::string write_file(const char* name, const std::vector<std::uint8_t>& bytes) const {
        std::string p = (dir_ / name).string();
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return p;
    }

    static void restart() {
        test_platform::reset();
        test_platform::keep_log = false;
        test_platform::record_and_forward(sim_port_backend());
    }

    ScratchFolder folder_;
    fs::path dir_;
};

std::vector<std::uint8_t> random_bytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> bytes(size);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(generator());
    }
    return bytes;
}

// The first image position at which the chip differs from `expected` (0xFF past its
// end), or image_size.
std::uint32_t first_difference(const std::vector<std::uint8_t>& expected) {
    for (std::uint32_t k = 0; k < image_size; ++k) {
        const std::uint8_t want = k < expected.size() ? expected[k] : 0xFF;
        if (sim_peek(k) != want) {
            return k;
        }
    }
    return image_size;
}

// ---- Command set ---------------------------------------------------------------------

TEST_F(FlashSim, IdentificationShowsTheCodesAndLeavesTheMode) {
    sim_faults.manufacturer = 0xAB;
    sim_faults.device = 0x0C;
    EXPECT_EQ(flash_read_id(), 0xAB0C);
    EXPECT_EQ(console, Lines{"Mfg=0xab Device=0xc"});
    EXPECT_EQ(sim_chip_mode(), SimChipMode::read_array);
    EXPECT_EQ(sim_counters.writes, 4u);
    EXPECT_EQ(sim_counters.reads, 2u);
}

TEST_F(FlashSim, IdentificationOnAChipThatNeverEndsItsWaitIsNotTrusted) {
    sim_faults.endless_wait = true;
    flash_read_id();
    ASSERT_FALSE(console.empty());
    EXPECT_EQ(console.back(), "Warning: 6 bus errors in this operation, result cannot be trusted");
    EXPECT_EQ(operation_faults, fault_bus);
}

TEST_F(FlashSim, ByteProgramCostsItsCyclesWithWaitStates) {
    sim_faults.wait_states = 3; // n = 4 SYNC clocks per cycle
    const std::uint64_t n = 4;
    EXPECT_EQ(flash_program_byte(1, 0x2345, 0x5A), 0x5A);
    EXPECT_EQ(sim_peek(0x12345), 0x5A);
    const auto& c = test_platform::counts;
    EXPECT_EQ(c.data_reads, 4 * (73 + 3 * n) + (73 + 3 * n));
    EXPECT_EQ(c.data_writes, 4 * (141 + 6 * n) + (139 + 6 * n));
    EXPECT_EQ(c.status_reads, 4 * (6 + 3 * n) + (12 + 3 * n));
    EXPECT_EQ(c.other, 0u);
}

TEST_F(FlashSim, EraseEmptiesEveryBlock) {
    for (std::uint32_t k = 0; k < image_size; k += 0x1001) {
        sim_poke(k, 0x00);
    }
    sim_poke(image_size - 1, 0x12);
    EXPECT_EQ(flash_erase_blocks(), 1);
    EXPECT_EQ(first_difference({}), image_size);
    EXPECT_EQ(sim_chip_mode(), SimChipMode::read_array);
    EXPECT_TRUE(console.empty());
    // The simulated erase toggles for 4 reads: the poll reads 3 pairs per block.
    EXPECT_EQ(sim_counters.writes, 16u * 6);
    EXPECT_EQ(sim_counters.reads, 16u * 6);
}

TEST_F(FlashSim, StuckEraseStopsAtTheBoundWithoutTouchingTheLaterBlocks) {
    sim_poke(0x4000, 0x00); // block 1
    sim_faults.stuck_erase = true;
    EXPECT_EQ(flash_erase_blocks(), 0);
    EXPECT_EQ(console, Lines{"Erase of block 0 at 0x00000 did not finish, erase stopped"});
    EXPECT_EQ(sim_counters.reads, 2u * toggle_poll_pair_limit);
    EXPECT_EQ(sim_counters.writes, 6u);
    EXPECT_EQ(sim_peek(0x4000), 0x00);
    EXPECT_EQ(operation_faults, fault_bus);
}

// ---- Blank check ---------------------------------------------------------------------

TEST_F(FlashSim, ErasedChipIsBlankAndEveryAccessIsAccountedFor) {
    sim_faults.wait_states = 2; // n = 3 SYNC clocks per read
    const std::uint64_t n = 3;
    EXPECT_EQ(blank_check(), 1);
    EXPECT_EQ(console, Lines{"Blank check completed"});
    EXPECT_EQ(sim_counters.reads, image_size);
    const auto& c = test_platform::counts;
    EXPECT_EQ(c.data_reads, 1 + image_size * (73 + 3 * n)) << "bus reset, then the reads";
    EXPECT_EQ(c.data_writes, 1 + image_size * (139 + 6 * n));
    EXPECT_EQ(c.status_reads, image_size * (12 + 3 * n));
    EXPECT_EQ(test_platform::progress.upper, 65);
    EXPECT_EQ(test_platform::progress.position, 0);
    EXPECT_EQ(operation_faults, 0);
}

TEST_F(FlashSim, OneProgrammedByteIsReadTwiceAndReported) {
    sim_poke(0x12345, 0x00);
    EXPECT_EQ(blank_check(), 0);
    EXPECT_EQ(console, (Lines{"Address 0x12345=00 != 0xff", "Blank check Aborted"}));
    EXPECT_EQ(sim_counters.reads, image_size + 1);
    EXPECT_EQ(test_platform::progress.position, 64) << "all 64 steps, the bar kept";
    EXPECT_EQ(operation_faults, fault_mismatch);
}

TEST_F(FlashSim, TwentyMismatchesInSegmentZeroEndItAtTheSeventeenth) {
    for (std::uint32_t i = 0; i < 20; ++i) {
        sim_poke(0x100 * i, static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(blank_check(), 0);
    ASSERT_EQ(console.size(), 17u);
    EXPECT_EQ(console[0], "Address 0x00000=00 != 0xff");
    EXPECT_EQ(console[15], "Address 0x00f00=0f != 0xff");
    EXPECT_EQ(console[16], "Blank check Aborted");
    // Segment 0 up to the 17th mismatch at 0x1000 (16 reports read twice), then segments
    // 1 to 3 in full; no progress step at 0x1000.
    EXPECT_EQ(sim_counters.reads, 0x1000u + 1 + 16 + 3 * 0x10000);
    EXPECT_EQ(test_platform::progress.position, 1 + 3 * 16);
}

// ---- Dump ----------------------------------------------------------------------------

TEST_F(FlashSim, CompleteDumpEqualsTheChipAndLogsNothing) {
    const std::vector<std::uint8_t> contents = random_bytes(image_size, 1);
    for (std::uint32_t k = 0; k < image_size; ++k) {
        sim_poke(k, contents[k]);
    }
    const std::string out = (dir_ / "dump.bin").string();
    dump_to_file(out.c_str());
    EXPECT_TRUE(console.empty());
    std::ifstream in(out, std::ios::binary);
    const std::vector<std::uint8_t> dumped{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(dumped, contents);
    EXPECT_EQ(test_platform::progress.position, 0);
}

// ---- Program and verify --------------------------------------------------------------

TEST_F(FlashSim, ProgramFromAShortFileThenVerifyTheSameWindow) {
    std::vector<std::uint8_t> bytes = random_bytes(100, 2);
    bytes[50] = 0x34;
    const std::string p = write_file("short.bin", bytes);
    // Written without an erase: old contents keep their 0 bits, and a bad byte stays
    // erased.
    sim_poke(200, 0x0F);
    sim_faults.bad_bytes.set(50);
    program_from_file(p.c_str(), true);
    EXPECT_EQ(console, Lines{"Write completed"});
    EXPECT_EQ(sim_counters.writes, 4u * image_size) << "0xFF is programmed like any byte";
    EXPECT_EQ(sim_counters.reads, image_size);
    EXPECT_EQ(first_difference(bytes), 50u);
    EXPECT_EQ(test_platform::progress.position, 0);

    restart();
    EXPECT_EQ(verify_against_file(p.c_str(), false), 0);
    EXPECT_EQ(console, (Lines{"Address 0x00032=0xff != 0x34", "Address 0x000c8=0x0f != 0xff",
                              "Verify Aborted"}));
    EXPECT_EQ(operation_faults, fault_mismatch);
    EXPECT_EQ(sim_counters.reads, 2u * image_size);

    // Mended by hand, the chip matches: past the file's end it compares with 0xFF.
    sim_poke(50, 0x34);
    sim_poke(200, 0xFF);
    restart();
    EXPECT_EQ(verify_against_file(p.c_str(), true), 1);
    EXPECT_EQ(console, Lines{"Verify completed"});
}

TEST_F(FlashSim, LongFileGivesItsFirstOrLastBytes) {
    const std::vector<std::uint8_t> bytes = random_bytes(std::size_t{4} * image_size, 3);
    const std::string p = write_file("long.bin", bytes);
    const std::vector<std::uint8_t> first(bytes.begin(), bytes.begin() + image_size);
    const std::vector<std::uint8_t> last(bytes.end() - image_size, bytes.end());

    program_from_file(p.c_str(), true);
    EXPECT_EQ(console, Lines{"Write completed"});
    EXPECT_EQ(first_difference(last), image_size);
    restart();
    EXPECT_EQ(verify_against_file(p.c_str(), true), 1);
    restart();
    EXPECT_EQ(verify_against_file(p.c_str(), false), 0);
    EXPECT_EQ(console.back(), "Verify Aborted");

    sim_reset();
    restart();
    program_from_file(p.c_str(), false);
    EXPECT_EQ(first_difference(first), image_size);
}

} // namespace
