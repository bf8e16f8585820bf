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

} // namespace
