// Our cycle engine against the simulated cable and chip: two independent readings of the
// LPC and JEDEC protocols have to agree on every cycle, every command and every fault.
#include "cable/port.h"
#include "lpc/cycle.h"
#include "platform/test/test_platform.h"
#include "sim/sim.h"
#include "ui/feedback.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using test_platform::console;
using Lines = std::vector<std::string>;

class EngineSim : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        test_platform::keep_log = false;
        sim_reset();
        port_backend = sim_port_backend();
        bus_reset();
    }
};

void jedec_command(std::uint8_t command) {
    lpc_mem_write(0xFFFF, 0x5555, 0xAA);
    lpc_mem_write(0xFFFF, 0x2AAA, 0x55);
    lpc_mem_write(0xFFFF, 0x5555, command);
}

void program_byte(std::uint32_t position, std::uint8_t value) {
    jedec_command(0xA0);
    lpc_mem_write(static_cast<std::uint16_t>(position >> 16),
                  static_cast<std::uint16_t>(position & 0xFFFF), value);
}

std::uint8_t read_at(std::uint32_t position) {
    return lpc_mem_read(static_cast<std::uint16_t>(position >> 16),
                        static_cast<std::uint16_t>(position & 0xFFFF));
}

TEST_F(EngineSim, ReadsWhatTheArrayHoldsAtEveryWindow) {
    const std::uint32_t positions[] = {0x00000, 0x00001, 0x0FFFF, 0x10000, 0x1ABCD,
                                       0x2FFFF, 0x30000, 0x35555, 0x3FFFF};
    for (const std::uint32_t position : positions) {
        sim_poke(position, static_cast<std::uint8_t>(position * 7 + 3));
    }
    for (const std::uint32_t position : positions) {
        EXPECT_EQ(read_at(position), static_cast<std::uint8_t>(position * 7 + 3)) << position;
    }
    EXPECT_EQ(sim_counters.reads, std::size(positions));
    EXPECT_EQ(sim_counters.contention, 0u);
    EXPECT_TRUE(console.empty());
}

TEST_F(EngineSim, ProgramsThroughTheJedecSequenceAndReadsBack) {
    program_byte(0x21234, 0x5A);
    EXPECT_EQ(sim_peek(0x21234), 0x5A);
    EXPECT_EQ(read_at(0x21234), 0x5A);
    EXPECT_EQ(sim_counters.writes, 4u);
    EXPECT_EQ(sim_counters.aborted, 0u);
    EXPECT_EQ(sim_counters.contention, 0u);
    EXPECT_TRUE(console.empty());
}

TEST_F(EngineSim, IdentificationThroughTheJedecSequence) {
    const struct {
        const char* faults;
        std::uint8_t manufacturer, device;
    } cases[] = {{"", 0xBF, 0x52}, {"id=ab:0c", 0xAB, 0x0C}};
    for (const auto& c : cases) {
        sim_reset();
        std::string error;
        ASSERT_TRUE(sim_parse_faults(c.faults, &sim_faults, &error)) << error;
        sim_poke(0, 0x12);
        jedec_command(0x90);
        EXPECT_EQ(lpc_mem_read(0xFFFC, 0), c.manufacturer);
        EXPECT_EQ(lpc_mem_read(0xFFFC, 1), c.device);
        lpc_mem_write(0xFFFF, 0xFFFF, 0xF0);
        EXPECT_EQ(lpc_mem_read(0, 0), 0x12);
    }
    EXPECT_TRUE(console.empty());
}

TEST_F(EngineSim, BlockEraseEndsWhenTwoReadsAgree) {
    for (std::uint32_t k = 0; k < sim_chip_size; k += 0x1000) {
        sim_poke(k, 0x00);
    }
    jedec_command(0x80);
    lpc_mem_write(0xFFFF, 0x5555, 0xAA);
    lpc_mem_write(0xFFFF, 0x2AAA, 0x55);
    lpc_mem_write(1, 0x4000, 0x50); // block 5
    int pairs = 1;
    while (lpc_mem_read(1, 0x4000) != lpc_mem_read(1, 0x4000) && pairs < 100) {
        ++pairs;
    }
    EXPECT_EQ(pairs, 3); // four toggling reads, then 0xFF twice
    EXPECT_EQ(sim_peek(0x14000), 0xFF);
    EXPECT_EQ(sim_peek(0x17000), 0xFF);
    EXPECT_EQ(sim_peek(0x13000), 0x00);
    EXPECT_EQ(sim_peek(0x18000), 0x00);
}

TEST_F(EngineSim, WaitStatesCostExactlyThreeStatusReadsEach) {
    sim_faults.wait_states = 3;
    test_platform::record_and_forward(sim_port_backend());
    test_platform::counts = {};
    sim_poke(0x30303, 0x3C);
    EXPECT_EQ(read_at(0x30303), 0x3C);
    const std::uint64_t n = 4; // three waits and the ready SYNC
    EXPECT_EQ(test_platform::counts.data_reads, 73 + 3 * n);
    EXPECT_EQ(test_platform::counts.data_writes, 139 + 6 * n);
    EXPECT_EQ(test_platform::counts.status_reads, 12 + 3 * n);
    program_byte(0x30304, 0x77);
    EXPECT_EQ(read_at(0x30304), 0x77);
    EXPECT_EQ(sim_counters.wait_states, 3u * 6u);
    EXPECT_TRUE(console.empty());
}

TEST_F(EngineSim, AnEndlessWaitIsGivenUpAndTheNextCycleWorks) {
    sim_faults.endless_wait = true;
    lpc_mem_read(0, 0x10);
    EXPECT_EQ(console, Lines{"Rd: No ready Sync after 4096 wait clocks, cycle ended"});
    EXPECT_EQ(port_in(base_port), 0x3F);
    sim_faults.endless_wait = false;
    sim_poke(0x11, 0x5D);
    EXPECT_EQ(read_at(0x11), 0x5D);
    EXPECT_EQ(sim_counters.aborted, 1u);
    EXPECT_EQ(console.size(), 1u);
}

TEST_F(EngineSim, ASyncErrorIsReportedAndTheDataStillArrives) {
    sim_faults.sync_error_every = 2;
    sim_poke(0x20000, 0xE7);
    EXPECT_EQ(read_at(0x20000), 0xE7);
    EXPECT_EQ(read_at(0x20000), 0xE7);
    program_byte(0x20001, 0x18); // its 2nd and 4th cycles answer 0xA
    EXPECT_EQ(sim_peek(0x20001), 0x18);
    EXPECT_EQ(console, (Lines{"Rd: Expecting Sync <0000>, but found 0xa",
                              "Wr: Expecting Sync <0000>, but found 0xa",
                              "Wr: Expecting Sync <0000>, but found 0xa"}));
}

TEST_F(EngineSim, AnAbsentChipReadsFloatingLines) {
    sim_faults.absent = true;
    EXPECT_EQ(read_at(0), 0xFF);
    program_byte(0, 0x00);
    EXPECT_EQ(sim_peek(0), 0xFF);
    EXPECT_EQ(console.size(), 5u);
    EXPECT_EQ(console[0], "Rd: Expecting Sync <0000>, but found 0xf");
    EXPECT_EQ(console[1], "Wr: Expecting Sync <0000>, but found 0xf");
    EXPECT_EQ(sim_counters.cycles, 0u);
}

TEST_F(EngineSim, AStuckEraseKeepsToggling) {
    sim_faults.stuck_erase = true;
    jedec_command(0x80);
    lpc_mem_write(0xFFFF, 0x5555, 0xAA);
    lpc_mem_write(0xFFFF, 0x2AAA, 0x55);
    lpc_mem_write(0, 0x0000, 0x50);
    for (int pair = 0; pair < 50; ++pair) {
        ASSERT_NE(lpc_mem_read(0, 0), lpc_mem_read(0, 0)) << pair;
    }
    EXPECT_EQ(sim_chip_mode(), SimChipMode::erasing);
}

TEST_F(EngineSim, BadBytesReadBackErased) {
    std::string error;
    ASSERT_TRUE(sim_parse_faults("bad-byte=1ffff,bad-byte=20000", &sim_faults, &error));
    const std::uint32_t positions[] = {0x1FFFE, 0x1FFFF, 0x20000, 0x20001};
    for (const std::uint32_t k : positions) {
        program_byte(k, 0x00);
    }
    EXPECT_EQ(read_at(0x1FFFE), 0x00);
    EXPECT_EQ(read_at(0x1FFFF), 0xFF);
    EXPECT_EQ(read_at(0x20000), 0xFF);
    EXPECT_EQ(read_at(0x20001), 0x00);
}

TEST_F(EngineSim, TheDelayConstantChangesNothingOnTheBus) {
    delay_constant = 50;
    sim_poke(0x3ABCD, 0x4B);
    EXPECT_EQ(read_at(0x3ABCD), 0x4B);
    program_byte(0x3ABCE, 0xB4);
    EXPECT_EQ(read_at(0x3ABCE), 0xB4);
    EXPECT_EQ(sim_counters.contention, 0u);
    EXPECT_TRUE(console.empty());
}

} // namespace
