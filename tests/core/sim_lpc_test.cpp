// The simulated cable and the chip's LPC interface, driven by hand-made line sequences:
// which clock the chip answers on, what it leaves alone, and each handshake fault.
#include "platform/test/test_platform.h"
#include "sim/sim.h"
#include "tests/core/sim_bus.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace sim_bus;
using Nibbles = std::vector<std::uint8_t>;

class SimLpc : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        sim_reset();
        port_backend = sim_port_backend();
    }

    // A read up to its SYNC phase, then `clocks` chip clocks sampled.
    static Nibbles read_clocks(std::uint32_t bus_address, int clocks) {
        start(0x4);
        address(bus_address);
        host_turn_around();
        Nibbles seen;
        for (int i = 0; i < clocks; ++i) {
            seen.push_back(chip_clock());
        }
        return seen;
    }
};

// ---- The cable ---------------------------------------------------------------------

TEST_F(SimLpc, RegistersOfTheCable) {
    EXPECT_EQ(port_in(status_reg), 0x07); // the latch starts at 0: the host drives LAD 0
    set(0x35);
    EXPECT_EQ(port_in(data_reg), 0x35);
    EXPECT_EQ(port_in(status_reg), 0x07 | 0x5 << 3); // the host drives LAD
    set(0xB5);
    EXPECT_EQ(port_in(data_reg), 0xB5);
    EXPECT_EQ(port_in(status_reg), 0x7F); // released: pulled up; bits 0-2 high, bit 7 low
    port_out(0x37A, 0x0B);
    EXPECT_EQ(port_in(0x37A), 0x0B);
    EXPECT_EQ(port_in(0x37B), 0xFF);
    EXPECT_EQ(port_in(data_reg), 0xB5); // the control register is apart
}

TEST_F(SimLpc, TheFrameIsSeenAtTheNextRiseWhetherHeldOrStillLow) {
    sim_poke(0x10, 0x3C);
    // The cable holds a pulse that ended before the rise (the sim_bus sequence).
    EXPECT_EQ(read_at(0x10), 0x3C);
    // LFRAME# still low at the rise.
    set(hold);
    set(hold | lclk); // START
    host_clock(0x4);
    address(sim_chip_base + 0x10);
    host_turn_around();
    EXPECT_EQ(chip_clock(), 0x0);
    EXPECT_EQ(sim_counters.reads, 2u);
}

// ---- Cycles, clock by clock ------------------------------------------------------------

TEST_F(SimLpc, ReadIsAnsweredOnTheClocksAfterTheTurnAround) {
    sim_poke(0x2ABCD, 0x5E);
    start(0x4);
    address(sim_chip_base + 0x2ABCD);
    // On the turn-around the host lets go on the second clock: nobody drives yet.
    host_clock(0xF);
    EXPECT_EQ(chip_clock(), 0xF);
    const Nibbles seen{chip_clock(), chip_clock(), chip_clock(), chip_clock(), chip_clock()};
    EXPECT_EQ(seen, (Nibbles{0x0, 0xE, 0x5, 0xF, 0xF})); // SYNC, low, high, TAR, TAR
    // After its turn-around the chip has let go: the host drives without contention.
    host_clock(0xF);
    host_clock(0x3);
    EXPECT_EQ(lad(), 0x3);
    EXPECT_EQ(sim_counters.contention, 0u);
    EXPECT_EQ(sim_counters.cycles, 1u);
    EXPECT_EQ(sim_counters.reads, 1u);
}

TEST_F(SimLpc, WriteIsTakenAtItsReadySync) {
    command(0xA0);
    start(0x6);
    address(sim_chip_base + 0x00042);
    host_clock(0x1); // data low nibble
    host_clock(0x2); // data high nibble
    host_turn_around();
    EXPECT_EQ(sim_peek(0x42), 0xFF); // nothing stored before the SYNC
    EXPECT_EQ(chip_clock(), 0x0);
    EXPECT_EQ(sim_peek(0x42), 0x21);
    EXPECT_EQ(chip_clock(), 0xF);
    EXPECT_EQ(chip_clock(), 0xF);
    EXPECT_EQ(sim_counters.writes, 4u);
    EXPECT_EQ(sim_counters.contention, 0u);
}

TEST_F(SimLpc, WaitStatesComeBeforeTheReadySync) {
    sim_faults.wait_states = 3;
    sim_poke(0, 0x81);
    EXPECT_EQ(read_clocks(sim_chip_base, 6), (Nibbles{0x6, 0x6, 0x6, 0x0, 0x1, 0x8}));
    EXPECT_EQ(sim_counters.wait_states, 3u);
    std::uint8_t sync = 0xFF;
    command(0xA0);
    write_byte(sim_chip_base + 1, 0x42);
    EXPECT_EQ(read_byte(sim_chip_base + 1, &sync), 0x42);
    EXPECT_EQ(sync, 0x0);
    EXPECT_EQ(sim_counters.wait_states, 3u * 6u);
}

TEST_F(SimLpc, AnEndlessWaitIsEndedByTheNextStart) {
    sim_faults.endless_wait = true;
    const Nibbles seen = read_clocks(sim_chip_base, 1000);
    EXPECT_EQ(seen, Nibbles(1000, 0x6));
    EXPECT_EQ(sim_counters.wait_states, 1000u);
    sim_faults.endless_wait = false;
    sim_poke(7, 0x77);
    EXPECT_EQ(read_at(7), 0x77);
    EXPECT_EQ(sim_counters.aborted, 1u);
}

TEST_F(SimLpc, EveryNthCycleAnswersSyncErrorAndGoesOn) {
    sim_faults.sync_error_every = 3;
    sim_poke(0x100, 0xC4);
    Nibbles syncs;
    for (int i = 0; i < 7; ++i) {
        std::uint8_t sync = 0;
        EXPECT_EQ(read_at(0x100), 0xC4); // the data follows as after a ready SYNC
        syncs.push_back(read_byte(sim_chip_base + 0x100, &sync) == 0xC4 ? sync : 0xEE);
    }
    // Cycles 1..14: the read_at calls are odd, the sampled ones even (6 and 12 fail).
    EXPECT_EQ(syncs, (Nibbles{0x0, 0x0, 0xA, 0x0, 0x0, 0xA, 0x0}));
    EXPECT_EQ(sim_counters.sync_errors, 4u);
}

TEST_F(SimLpc, AnAbsentChipLeavesTheLinesHigh) {
    sim_faults.absent = true;
    EXPECT_EQ(read_clocks(sim_chip_base, 6), Nibbles(6, 0xF));
    EXPECT_EQ(write_byte(sim_chip_base + 0x35555, 0xAA), 0xF);
    EXPECT_EQ(sim_counters.cycles, 0u);
}

TEST_F(SimLpc, CyclesOutsideTheChipAreLeftAlone) {
    const std::uint32_t addresses[] = {0xFFFBFFFF, 0x000C0000, 0x7FFC0000, 0xFEFC0000};
    for (const std::uint32_t a : addresses) {
        EXPECT_EQ(read_clocks(a, 5), Nibbles(5, 0xF)) << std::hex << a;
    }
    // I/O read and write, DMA: not memory cycles.
    for (const std::uint8_t type : {0x0, 0x2, 0x8, 0x5}) {
        start(type);
        address(sim_chip_base);
        host_turn_around();
        EXPECT_EQ(chip_clock(), 0xF) << int(type);
    }
    EXPECT_EQ(sim_counters.cycles, 0u);
    EXPECT_EQ(sim_counters.unclaimed, 8u);
    // The top and bottom bytes of the window are the chip's.
    sim_poke(0, 0x01);
    sim_poke(sim_chip_size - 1, 0x02);
    EXPECT_EQ(read_byte(0xFFFC0000), 0x01);
    EXPECT_EQ(read_byte(0xFFFFFFFF), 0x02);
}

TEST_F(SimLpc, ANewStartAbortsACycleInProgress) {
    sim_poke(0x20, 0x99);
    command(0xA0);
    // A write cut off in its address: nothing is stored, the program command still waits.
    start(0x6);
    address(sim_chip_base + 0x20);
    host_clock(0x0);
    write_at(0x20, 0x11);
    EXPECT_EQ(sim_peek(0x20), 0x11);
    // A read cut off before its data: the next read is whole.
    read_clocks(sim_chip_base + 0x20, 1);
    EXPECT_EQ(read_at(0x20), 0x11);
    EXPECT_EQ(sim_counters.aborted, 2u);
    // LFRAME# with a nibble other than START ends the cycle and begins none.
    read_clocks(sim_chip_base + 0x20, 2);
    set(hold | 0xF);
    host_clock(0xF);
    EXPECT_EQ(chip_clock(), 0xF);
    EXPECT_EQ(sim_counters.aborted, 3u);
}

TEST_F(SimLpc, ADriverThatDoesNotReleaseTheBusIsCaught) {
    start(0x4);
    address(sim_chip_base);
    host_turn_around();
    host_clock(0xF); // SYNC clock, host still driving
    host_clock(0xF);
    EXPECT_EQ(sim_counters.contention, 2u);
}

} // namespace
