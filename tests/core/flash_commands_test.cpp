// The flash command sequences against the recording port: the cycles on the bus, decoded
// from the data-register writes, with the chip's answers scripted on the status register.
#include "flash/commands.h"
#include "lpc/cycle.h"
#include "platform/test/test_platform.h"
#include "ui/feedback.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using test_platform::accesses;
using test_platform::console;

constexpr std::uint16_t data_reg = 0x378;

// One LPC cycle as the host drove it.
struct BusCycle {
    char kind; // 'R' read, 'W' write
    std::uint32_t address;
    std::uint8_t value; // written byte (writes only)
    bool operator==(const BusCycle&) const = default;
};

std::ostream& operator<<(std::ostream& os, const BusCycle& c) {
    return os << c.kind << " 0x" << std::hex << c.address << " 0x" << int(c.value);
}

// Splits the recorded data-register writes at every frame start and takes the nibble
// that stands on LAD at each rise of the clock while the host drives the bus.
std::vector<BusCycle> decode_cycles() {
    std::vector<std::vector<std::uint8_t>> host_nibbles;
    std::uint8_t previous = 0x70;
    for (const RecordedAccess& access : accesses) {
        if (access.kind != 'W' || access.address != data_reg) {
            continue;
        }
        const auto value = static_cast<std::uint8_t>(access.value);
        if ((value & 0x20) == 0) {
            host_nibbles.emplace_back();
        } else if ((previous & 0x40) == 0 && (value & 0x40) != 0 && (value & 0x80) == 0 &&
                   !host_nibbles.empty()) {
            host_nibbles.back().push_back(value & 0x0F);
        }
        previous = value;
    }
    std::vector<BusCycle> cycles;
    for (const auto& n : host_nibbles) {
        if (n.size() < 10) {
            ADD_FAILURE() << "a cycle with " << n.size() << " host clocks";
            continue;
        }
        std::uint32_t address = 0;
        for (int i = 2; i < 10; ++i) {
            address = (address << 4) | n[i];
        }
        if (n[1] == 0x6) {
            cycles.push_back({'W', address, static_cast<std::uint8_t>(n[10] | (n[11] << 4))});
        } else {
            cycles.push_back({'R', address, 0});
        }
    }
    return cycles;
}

// The chip's answers on the status register (LAD on bits 3-6), cycle by cycle: one ready
// SYNC, then for a read the byte low nibble first, then the turn-around.
void answer_write() {
    for (int i = 0; i < 9; ++i) {
        test_platform::status_script.push_back(0x00);
    }
}

void answer_read(std::uint8_t byte) {
    auto& script = test_platform::status_script;
    const std::uint8_t nibbles[] = {0x0, static_cast<std::uint8_t>(byte & 0x0F),
                                    static_cast<std::uint8_t>(byte >> 4), 0xF, 0xF};
    for (const std::uint8_t nibble : nibbles) {
        for (int i = 0; i < 3; ++i) {
            script.push_back(static_cast<std::uint8_t>(nibble << 3));
        }
    }
}

void answer_erase_writes() {
    for (int i = 0; i < 6; ++i) {
        answer_write();
    }
}

class FlashCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        test_platform::status_default = 0x00; // a chip that is always ready and reads 0x00
    }
};

TEST_F(FlashCommands, ByteProgramIsThreeCommandWritesTheDataWriteAndAReadBack) {
    test_platform::status_default = 0x00;
    for (int i = 0; i < 4; ++i) {
        answer_write();
    }
    answer_read(0x5A);
    EXPECT_EQ(flash_program_byte(2, 0x1234, 0x5A), 0x5A);
    const std::vector<BusCycle> expected{
        {'W', 0xFFFF5555, 0xAA}, {'W', 0xFFFF2AAA, 0x55}, {'W', 0xFFFF5555, 0xA0},
        {'W', 0xFFFE1234, 0x5A}, {'R', 0xFFFE1234, 0},
    };
    EXPECT_EQ(decode_cycles(), expected);
    // No bus reset: the first access is the first cycle's frame start.
    ASSERT_FALSE(accesses.empty());
    EXPECT_EQ(accesses[0], (RecordedAccess{'R', data_reg, 0x00}));
    EXPECT_EQ(accesses[1].value, 0x10u);
    EXPECT_TRUE(console.empty());
}

TEST_F(FlashCommands, ByteProgramCostsFourWriteCyclesAndOneReadCycle) {
    test_platform::keep_log = false;
    flash_program_byte(1, 0xBEEF, 0x00);
    const auto& c = test_platform::counts;
    // n = 1 SYNC clock per cycle: write 76 / 147 / 9, read 76 / 145 / 15.
    EXPECT_EQ(c.data_reads, 4u * 76 + 76);
    EXPECT_EQ(c.data_writes, 4u * 147 + 145);
    EXPECT_EQ(c.status_reads, 4u * 9 + 15);
    EXPECT_EQ(c.other, 0u);
}

TEST_F(FlashCommands, EraseOfAChipThatAnswersConstantBytesPollsEachBlockOnce) {
    EXPECT_EQ(flash_erase_blocks(), 1);
    ASSERT_GE(accesses.size(), 3u);
    EXPECT_EQ(accesses[0].kind, 'R');
    EXPECT_EQ(accesses[1], (RecordedAccess{'S', 0, 1}));
    EXPECT_EQ(accesses[2], (RecordedAccess{'W', data_reg, 0x70}));
    std::vector<BusCycle> expected;
    for (std::uint32_t block = 0; block < 16; ++block) {
        const std::uint32_t address = 0xFFFC0000 + block * 0x4000;
        const std::vector<BusCycle> one{
            {'W', 0xFFFF5555, 0xAA}, {'W', 0xFFFF2AAA, 0x55}, {'W', 0xFFFF5555, 0x80},
            {'W', 0xFFFF5555, 0xAA}, {'W', 0xFFFF2AAA, 0x55}, {'W', address, 0x50},
            {'R', address, 0},       {'R', address, 0},
        };
        expected.insert(expected.end(), one.begin(), one.end());
    }
    EXPECT_EQ(decode_cycles(), expected);
    EXPECT_TRUE(console.empty());
    EXPECT_EQ(operation_faults, 0);
}

TEST_F(FlashCommands, ToggleComparesFreshPairsOnly) {
    answer_erase_writes();
    for (const std::uint8_t byte : {0x40, 0x00, 0x00, 0x40, 0xFF, 0xFF}) {
        answer_read(byte);
    }
    EXPECT_EQ(flash_erase_blocks(), 1);
    const std::vector<BusCycle> cycles = decode_cycles();
    ASSERT_EQ(cycles.size(), 16u * 6 + 6 + 15 * 2);
    for (int i = 6; i < 12; ++i) {
        EXPECT_EQ(cycles[i], (BusCycle{'R', 0xFFFC0000, 0})) << i;
    }
    EXPECT_EQ(cycles[17], (BusCycle{'W', 0xFFFC4000, 0x50}));
}

// A chip whose status bit 6 toggles on every read, for `pairs` pairs after block 0's
// command writes.
void answer_toggling_block(std::uint32_t pairs) {
    answer_erase_writes();
    for (std::uint32_t i = 0; i < pairs; ++i) {
        answer_read(0x40);
        answer_read(0x00);
    }
}

TEST_F(FlashCommands, ToggleThatNeverEndsGivesTheBlockUpAtTheBound) {
    answer_toggling_block(toggle_poll_pair_limit + 1);
    test_platform::keep_log = false;
    EXPECT_EQ(flash_erase_blocks(), 0);
    // Block 0 only: reset, six writes, then the bound's worth of read pairs, no more.
    const auto& c = test_platform::counts;
    EXPECT_EQ(c.status_reads, 6u * 9 + 2u * toggle_poll_pair_limit * 15);
    EXPECT_EQ(c.data_reads, 1u + 6 * 76 + 2u * toggle_poll_pair_limit * 76);
    const std::vector<std::string> expected{
        "Erase of block 0 at 0x00000 did not finish, erase stopped"};
    EXPECT_EQ(console, expected);
    EXPECT_EQ(operation_faults, fault_bus);
}

TEST_F(FlashCommands, AbortEndsATogglingPollAndLeavesTheLaterBlocks) {
    // Blocks 0 to 4 finish at once; block 5 keeps toggling until the abort is seen.
    for (int block = 0; block < 5; ++block) {
        answer_erase_writes();
        answer_read(0xFF);
        answer_read(0xFF);
    }
    answer_toggling_block(3);
    request_abort();
    EXPECT_EQ(flash_erase_blocks(), 0);
    const std::vector<BusCycle> cycles = decode_cycles();
    ASSERT_EQ(cycles.size(), 5u * 8 + 6 + 2);
    EXPECT_EQ(cycles.back(), (BusCycle{'R', 0xFFFD4000, 0}));
    const std::vector<std::string> expected{
        "Erase aborted in block 5 at 0x14000, later blocks not erased"};
    EXPECT_EQ(console, expected);
}

TEST_F(FlashCommands, IdentificationReadsBothCodesAndLeavesTheMode) {
    for (int i = 0; i < 3; ++i) {
        answer_write();
    }
    answer_read(0xAB);
    answer_read(0x0C);
    answer_write();
    EXPECT_EQ(flash_read_id(), 0xAB0C);
    const std::vector<BusCycle> expected{
        {'W', 0xFFFF5555, 0xAA}, {'W', 0xFFFF2AAA, 0x55}, {'W', 0xFFFF5555, 0x90},
        {'R', 0xFFFC0000, 0},    {'R', 0xFFFC0001, 0},    {'W', 0xFFFFFFFF, 0xF0},
    };
    EXPECT_EQ(decode_cycles(), expected);
    EXPECT_EQ(accesses[1], (RecordedAccess{'S', 0, 1}));
    EXPECT_EQ(console, std::vector<std::string>{"Mfg=0xab Device=0xc"});
}

TEST_F(FlashCommands, AbsentChipIdentificationEndsWithTheUntrustedResultLine) {
    test_platform::status_default = 0xFF; // nothing drives LAD: every SYNC reads 0xF
    EXPECT_EQ(flash_read_id(), 0xFFFF);
    EXPECT_EQ(decode_cycles().size(), 6u);
    ASSERT_EQ(console.size(), 8u);
    EXPECT_EQ(console[0], "Wr: Expecting Sync <0000>, but found 0xf");
    EXPECT_EQ(console[3], "Rd: Expecting Sync <0000>, but found 0xf");
    EXPECT_EQ(console[6], "Mfg=0xff Device=0xff");
    EXPECT_EQ(console[7], "Warning: 6 bus errors in this operation, result cannot be trusted");
    EXPECT_EQ(operation_faults, fault_bus);
}

TEST_F(FlashCommands, AbsentChipEraseEndsAtOnceAndReportsFailure) {
    test_platform::status_default = 0xFF;
    test_platform::keep_log = false;
    EXPECT_EQ(flash_erase_blocks(), 0);
    // 96 writes and 32 reads: every poll ends on its first pair of constant bytes.
    EXPECT_EQ(test_platform::counts.status_reads, 96u * 9 + 32 * 15);
    ASSERT_FALSE(console.empty());
    EXPECT_EQ(console.back(),
              "Warning: 128 bus errors in this operation, result cannot be trusted");
    EXPECT_EQ(operation_faults, fault_bus);
}

} // namespace
