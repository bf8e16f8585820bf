// The simulated chip's JEDEC command set, driven by hand-made cycles: program, block and
// sector erase with the toggle bit, identification, broken sequences, and the chip's
// faults that concern the array.
#include "platform/test/test_platform.h"
#include "sim/sim.h"
#include "tests/core/sim_bus.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace sim_bus;

class SimFlash : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        sim_reset();
        port_backend = sim_port_backend();
    }
};

void program(std::uint32_t position, std::uint8_t value) {
    command(0xA0);
    write_at(position, value);
}

void erase(std::uint32_t position, std::uint8_t kind) {
    command(0x80);
    write_at(0x35555, 0xAA);
    write_at(0x32AAA, 0x55);
    write_at(position, kind);
}

// Reads until two in a row agree, as a toggle poll does; returns the reads made.
int poll(std::uint32_t position, int limit = 1000) {
    std::uint8_t previous = read_at(position);
    for (int reads = 1; reads < limit; ++reads) {
        const std::uint8_t now = read_at(position);
        if (now == previous) {
            return reads + 1;
        }
        previous = now;
    }
    return limit;
}

void fill(std::uint8_t value) {
    for (std::uint32_t k = 0; k < sim_chip_size; ++k) {
        sim_poke(k, value);
    }
}

TEST_F(SimFlash, ProgrammingOnlyClearsBits) {
    program(0x00000, 0x5A);
    EXPECT_EQ(sim_peek(0), 0x5A);
    program(0x00000, 0xF0); // 0x5A & 0xF0
    EXPECT_EQ(read_at(0), 0x50);
    program(0x3FFFF, 0x00);
    EXPECT_EQ(read_at(0x3FFFF), 0x00);
    EXPECT_TRUE(sim_contents_changed());
    // Without the unlock a write changes nothing.
    write_at(0x100, 0x00);
    EXPECT_EQ(sim_peek(0x100), 0xFF);
    EXPECT_EQ(sim_chip_mode(), SimChipMode::read_array);
}

TEST_F(SimFlash, BlockEraseTogglesThenLeavesItsSixteenKilobytesErased) {
    fill(0x00);
    sim_erase_reads = 5;
    erase(0x2C123, 0x50); // inside block 11, 0x2C000-0x2FFFF
    EXPECT_EQ(sim_chip_mode(), SimChipMode::erasing);
    std::vector<std::uint8_t> reads;
    reads.reserve(7);
    for (int i = 0; i < 7; ++i) {
        reads.push_back(read_at(0x00000)); // any address shows the toggle
    }
    EXPECT_EQ(reads, (std::vector<std::uint8_t>{0x40, 0x00, 0x40, 0x00, 0x40, 0x00, 0x00}));
    EXPECT_EQ(sim_chip_mode(), SimChipMode::read_array);
    EXPECT_EQ(sim_peek(0x2BFFF), 0x00);
    EXPECT_EQ(sim_peek(0x2C000), 0xFF);
    EXPECT_EQ(sim_peek(0x2FFFF), 0xFF);
    EXPECT_EQ(sim_peek(0x30000), 0x00);
}

TEST_F(SimFlash, SectorEraseTakesFourKilobytes) {
    fill(0x12);
    erase(0x05FFF, 0x30);        // sector 0x05000-0x05FFF
    EXPECT_EQ(poll(0x05000), 6); // 4 toggling reads, then two equal ones
    EXPECT_EQ(sim_peek(0x04FFF), 0x12);
    EXPECT_EQ(sim_peek(0x05000), 0xFF);
    EXPECT_EQ(sim_peek(0x05FFF), 0xFF);
    EXPECT_EQ(sim_peek(0x06000), 0x12);
}

TEST_F(SimFlash, TheEraseTimeIsAdjustable) {
    fill(0x00);
    const struct {
        std::uint32_t toggling_reads;
        int poll_reads;
    } cases[] = {{0, 2}, {1, 3}, {2, 4}, {3, 5}, {100, 102}};
    for (const auto& c : cases) {
        sim_erase_reads = c.toggling_reads;
        erase(0x10000, 0x50);
        EXPECT_EQ(poll(0x10000), c.poll_reads) << c.toggling_reads;
        EXPECT_EQ(sim_peek(0x13FFF), 0xFF);
        sim_poke(0x10000, 0x00);
    }
}

TEST_F(SimFlash, TheChipTakesNoCommandWhileItErases) {
    erase(0x00000, 0x50);
    program(0x8000, 0x00); // ignored: busy
    EXPECT_EQ(poll(0x0), 6);
    EXPECT_EQ(sim_peek(0x8000), 0xFF);
}

TEST_F(SimFlash, IdentificationModeShowsTheCodesUntilItIsLeft) {
    const struct {
        const char* how;
        void (*leave)();
    } exits[] = {
        {"single 0xF0", [] { write_at(0x3FFFF, 0xF0); }},
        {"unlocked 0xF0", [] { command(0xF0); }},
        {"a stray write", [] { write_at(0x1234, 0x00); }},
    };
    sim_poke(0, 0x11);
    sim_poke(1, 0x22);
    for (const auto& e : exits) {
        command(0x90);
        EXPECT_EQ(sim_chip_mode(), SimChipMode::identification) << e.how;
        EXPECT_EQ(read_at(0x00000), 0xBF) << e.how;
        EXPECT_EQ(read_at(0x00001), 0x52) << e.how;
        EXPECT_EQ(read_at(0x30000), 0xBF) << e.how;
        e.leave();
        EXPECT_EQ(sim_chip_mode(), SimChipMode::read_array) << e.how;
        EXPECT_EQ(read_at(0), 0x11) << e.how;
        EXPECT_EQ(read_at(1), 0x22) << e.how;
    }
    sim_faults.manufacturer = 0xAB;
    sim_faults.device = 0x0C;
    command(0x90);
    EXPECT_EQ(read_at(0), 0xAB);
    EXPECT_EQ(read_at(1), 0x0C);
}

TEST_F(SimFlash, AWriteThatBreaksASequenceReturnsToReadMode) {
    const struct {
        const char* name;
        std::vector<std::pair<std::uint32_t, std::uint8_t>> writes;
        std::uint8_t before_42; // the byte at 0x42 before and after the writes
        std::uint8_t after_42;
    } cases[] = {
        {"second unlock at the wrong address",
         {{0x35555, 0xAA}, {0x32AAB, 0x55}, {0x35555, 0xA0}, {0x42, 0x00}},
         0xFF,
         0xFF},
        {"unknown command",
         {{0x35555, 0xAA}, {0x32AAA, 0x55}, {0x35555, 0x77}, {0x42, 0x00}},
         0xFF,
         0xFF},
        {"command at the wrong address",
         {{0x35555, 0xAA}, {0x32AAA, 0x55}, {0x35554, 0xA0}, {0x42, 0x00}},
         0xFF,
         0xFF},
        // The breaking write may itself begin the next sequence.
        {"repeated first unlock",
         {{0x35555, 0xAA}, {0x35555, 0xAA}, {0x32AAA, 0x55}, {0x35555, 0xA0}, {0x42, 0x00}},
         0xFF,
         0x00},
        // Only the low 16 address bits count for the unlock writes.
        {"unlock in another window",
         {{0x05555, 0xAA}, {0x12AAA, 0x55}, {0x25555, 0xA0}, {0x42, 0x00}},
         0xFF,
         0x00},
        // No chip erase (0x10) in LPC mode.
        {"chip erase",
         {{0x35555, 0xAA},
          {0x32AAA, 0x55},
          {0x35555, 0x80},
          {0x35555, 0xAA},
          {0x32AAA, 0x55},
          {0x00042, 0x10}},
         0x00,
         0x00},
    };
    for (const auto& c : cases) {
        sim_reset();
        sim_poke(0x42, c.before_42);
        for (const auto& [position, value] : c.writes) {
            write_at(position, value);
        }
        EXPECT_EQ(sim_peek(0x42), c.after_42) << c.name;
        EXPECT_EQ(sim_chip_mode(), SimChipMode::read_array) << c.name;
    }
}

TEST_F(SimFlash, AStuckEraseTogglesForEver) {
    fill(0x00);
    sim_faults.stuck_erase = true;
    erase(0x04000, 0x50);
    EXPECT_EQ(poll(0x04000, 10000), 10000);
    EXPECT_EQ(sim_chip_mode(), SimChipMode::erasing);
    EXPECT_EQ(sim_peek(0x04000), 0x00); // the block was never erased
    // Let go, it ends after the toggling reads it had left; with none, at the next read.
    sim_faults.stuck_erase = false;
    EXPECT_EQ(poll(0x04000), 6);
    EXPECT_EQ(sim_peek(0x04000), 0xFF);
    sim_erase_reads = 0;
    sim_faults.stuck_erase = true;
    erase(0x08000, 0x50);
    EXPECT_EQ(sim_chip_mode(), SimChipMode::erasing);
    sim_faults.stuck_erase = false;
    EXPECT_EQ(poll(0x08000), 3);
    EXPECT_EQ(sim_peek(0x08000), 0xFF);
}

TEST_F(SimFlash, BadBytesStayAsTheyAre) {
    sim_faults.bad_bytes.set(0x100);
    sim_faults.bad_bytes.set(0x3FFFF);
    program(0x0FF, 0x00);
    program(0x100, 0x00);
    program(0x101, 0x00);
    program(0x3FFFF, 0x12);
    EXPECT_EQ(read_at(0x0FF), 0x00);
    EXPECT_EQ(read_at(0x100), 0xFF);
    EXPECT_EQ(read_at(0x101), 0x00);
    EXPECT_EQ(read_at(0x3FFFF), 0xFF);
}

TEST_F(SimFlash, ResetErasesAndClearsFaultsAndCounters) {
    sim_faults.absent = true;
    sim_faults.bad_bytes.set(3);
    sim_erase_reads = 9;
    sim_poke(3, 0x00);
    read_at(0);
    sim_reset();
    EXPECT_FALSE(sim_faults.absent);
    EXPECT_FALSE(sim_faults.bad_bytes.any());
    EXPECT_EQ(sim_erase_reads, sim_default_erase_reads);
    EXPECT_EQ(sim_peek(3), 0xFF);
    EXPECT_EQ(sim_counters.rising_edges, 0u);
    EXPECT_FALSE(sim_contents_changed());
}

} // namespace
