// The cycle engine clock by clock against the recording port (no chip): the nibbles the
// host drives, the chip's answers scripted on the status register, the handshake faults
// and their console lines, and the exact shape of every cycle in port accesses.
#include "cable/lines.h"
#include "cable/port.h"
#include "lpc/cycle.h"
#include "platform/test/test_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using test_platform::accesses;
using test_platform::console;

constexpr std::uint16_t data_reg = 0x378;
constexpr std::uint16_t status_reg = 0x379;

// The chip's answers, one nibble per get_nibble: of its three status readings only the
// third counts, so the first two carry the opposite levels.
void answer(std::initializer_list<std::uint8_t> nibbles) {
    for (const std::uint8_t nibble : nibbles) {
        const auto lad = static_cast<std::uint8_t>(nibble << status_lad_shift);
        const auto decoy = static_cast<std::uint8_t>((~lad & 0x78) | 0x87);
        test_platform::status_script.insert(test_platform::status_script.end(),
                                            {decoy, decoy, lad});
    }
}

// What the bus saw, from the recorded data-register writes: the nibble on LAD at every
// rise of the clock with the release bit clear (a host clock), and the number of rises.
struct BusView {
    std::vector<std::uint8_t> host_nibbles;
    int clocks = 0;
};

BusView bus_view() {
    BusView view;
    std::uint8_t previous = 0x70;
    for (const RecordedAccess& access : accesses) {
        if (access.kind != 'W' || access.address != data_reg) {
            continue;
        }
        const auto value = static_cast<std::uint8_t>(access.value);
        if ((previous & line_clock_bit) == 0 && (value & line_clock_bit) != 0) {
            ++view.clocks;
            if ((value & line_release_bit) == 0) {
                view.host_nibbles.push_back(value & line_lad_mask);
            }
        }
        previous = value;
    }
    return view;
}

using Nibbles = std::vector<std::uint8_t>;

class Lpc : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        bus_reset();
        accesses.clear();
        test_platform::counts = {};
    }
};

// ---- The nibbles of whole cycles -----------------------------------------------------

TEST_F(Lpc, WriteDrivesHeaderDataTurnAroundAndIdle) {
    const struct {
        std::uint16_t segment, offset;
        std::uint8_t value;
        Nibbles host;
    } cases[] = {
        {0xFFFF,
         0x5555,
         0xAA,
         {0, 6, 0xF, 0xF, 0xF, 0xF, 5, 5, 5, 5, 0xA, 0xA, 0xF, 0xF, 0xF, 0xF, 0xF, 0xF}},
        {2,
         0x1234,
         0x5A,
         {0, 6, 0xF, 0xF, 0xF, 0xE, 1, 2, 3, 4, 0xA, 5, 0xF, 0xF, 0xF, 0xF, 0xF, 0xF}},
        {0,
         0x0000,
         0x00,
         {0, 6, 0xF, 0xF, 0xF, 0xC, 0, 0, 0, 0, 0, 0, 0xF, 0xF, 0xF, 0xF, 0xF, 0xF}},
    };
    for (const auto& c : cases) {
        SetUp();
        answer({0x0, 0xF, 0xF});
        lpc_mem_write(c.segment, c.offset, c.value);
        const BusView view = bus_view();
        EXPECT_EQ(view.host_nibbles, c.host) << std::hex << c.segment << ":" << c.offset;
        EXPECT_EQ(view.clocks, 21);
        EXPECT_TRUE(console.empty());
        EXPECT_TRUE(test_platform::status_script.empty());
    }
}

TEST_F(Lpc, ReadDrivesHeaderAndTakesTheByteLowNibbleFirst) {
    answer({0x0, 0x4, 0xA, 0xF, 0xF});
    EXPECT_EQ(lpc_mem_read(0xFFFC, 1), 0xA4);
    const BusView view = bus_view();
    const Nibbles host{0, 4, 0xF, 0xF, 0xF, 0xC, 0, 0, 0, 1, 0xF, 0xF, 0xF, 0xF, 0xF, 0xF};
    EXPECT_EQ(view.host_nibbles, host);
    EXPECT_EQ(view.clocks, 21);
    EXPECT_TRUE(console.empty());
}

TEST_F(Lpc, SegmentsReachTheBusThroughTheirTwoLowBits) {
    const struct {
        std::uint16_t segment, alias;
    } cases[] = {{0xFFFF, 3}, {0xFFFC, 0}, {4, 0}, {0x0105, 1}};
    for (const auto& c : cases) {
        Nibbles seen[2];
        const std::uint16_t segments[2] = {c.segment, c.alias};
        for (int i = 0; i < 2; ++i) {
            SetUp();
            answer({0x0, 0x1, 0x2, 0xF, 0xF});
            lpc_mem_read(segments[i], 0xBEEF);
            seen[i] = bus_view().host_nibbles;
        }
        EXPECT_EQ(seen[0], seen[1]) << std::hex << c.segment;
    }
}

// The host samples only after a rise of the clock with the bus released, and drives
// nothing while it does.
TEST_F(Lpc, StatusIsReadOnlyWithTheClockHighAndTheBusReleased) {
    answer({0x6, 0x0, 0x4, 0xA, 0xF, 0xF});
    lpc_mem_read(1, 0x2345);
    answer({0x5, 0x0, 0xF, 0xF});
    lpc_mem_write(1, 0x2345, 0x77);
    std::uint8_t data = 0x70;
    int status_reads = 0;
    for (const RecordedAccess& access : accesses) {
        if (access.kind == 'W' && access.address == data_reg) {
            data = static_cast<std::uint8_t>(access.value);
        } else if (access.kind == 'R' && access.address == status_reg) {
            ++status_reads;
            EXPECT_EQ(data & (line_clock_bit | line_release_bit), line_clock_bit | line_release_bit)
                << "status read " << status_reads << " with data register " << int(data);
        }
    }
    EXPECT_EQ(status_reads, 3 * (6 + 4));
}

// ---- SYNC --------------------------------------------------------------------------------

TEST_F(Lpc, WaitSyncsLengthenTheCycleWithoutAMessage) {
    answer({0x6, 0x6, 0x5, 0x0, 0x3, 0xC, 0xF, 0xF});
    EXPECT_EQ(lpc_mem_read(2, 0x0010), 0xC3);
    EXPECT_EQ(bus_view().clocks, 24);
    EXPECT_TRUE(console.empty());

    SetUp();
    answer({0x5, 0x6, 0x0, 0xF, 0xF});
    lpc_mem_write(2, 0x0010, 0x99);
    EXPECT_EQ(bus_view().clocks, 23);
    EXPECT_TRUE(console.empty());
    EXPECT_EQ(bus_error_count, 0u);
}

TEST_F(Lpc, AnUnexpectedSyncIsLoggedAndTheCycleGoesOn) {
    answer({0xA, 0x7, 0x2, 0xF, 0xF});
    EXPECT_EQ(lpc_mem_read(0, 0x0000), 0x27); // the two clocks after the SYNC clock
    EXPECT_EQ(bus_view().clocks, 21);
    EXPECT_EQ(console, std::vector<std::string>{"Rd: Expecting Sync <0000>, but found 0xa"});

    SetUp();
    answer({0x9, 0xF, 0xF});
    lpc_mem_write(0, 0x0000, 0x12);
    EXPECT_EQ(bus_view().clocks, 21);
    EXPECT_EQ(console, std::vector<std::string>{"Wr: Expecting Sync <0000>, but found 0x9"});
    EXPECT_EQ(test_platform::data_register, 0x3F);
}

TEST_F(Lpc, EveryNibbleButReadyAndWaitEndsTheSyncWithItsOwnLine) {
    for (std::uint8_t sync = 1; sync <= 0xF; ++sync) {
        if (sync == 0x5 || sync == 0x6) {
            continue;
        }
        SetUp();
        answer({sync, 0x0, 0x0, 0xF, 0xF});
        lpc_mem_read(0, 0);
        char expected[64];
        std::snprintf(expected, sizeof expected, "Rd: Expecting Sync <0000>, but found 0x%x",
                      static_cast<unsigned>(sync));
        EXPECT_EQ(console, std::vector<std::string>{expected});
    }
}

TEST_F(Lpc, AChipThatWaitsForEverIsGivenUpAfterTheLimit) {
    const struct {
        bool write;
        const char* line;
    } cases[] = {
        {false, "Rd: No ready Sync after 4096 wait clocks, cycle ended"},
        {true, "Wr: No ready Sync after 4096 wait clocks, cycle ended"},
    };
    for (const auto& c : cases) {
        SetUp();
        test_platform::status_default = 0x6 << status_lad_shift;
        if (c.write) {
            lpc_mem_write(3, 0x4000, 0x55);
        } else {
            lpc_mem_read(3, 0x4000);
        }
        EXPECT_EQ(console, std::vector<std::string>{c.line});
        EXPECT_EQ(bus_view().clocks, 20 + static_cast<int>(sync_wait_limit));
        EXPECT_EQ(test_platform::data_register, 0x3F); // idle, release bit clear
        EXPECT_EQ(bus_error_count, 1u);
    }
}

TEST_F(Lpc, HandshakeLinesAreBoundedPerOperation) {
    // No chip: LAD floats high, every SYNC reads 0xF.
    test_platform::status_default = 0xFF;
    const int cycles = static_cast<int>(bus_error_lines_shown) + 4;
    for (int i = 0; i < cycles; ++i) {
        EXPECT_EQ(lpc_mem_read(0, static_cast<std::uint16_t>(i)), 0xFF);
    }
    std::vector<std::string> expected(bus_error_lines_shown,
                                      "Rd: Expecting Sync <0000>, but found 0xf");
    expected.push_back("Further bus errors of this operation are counted, not shown");
    EXPECT_EQ(console, expected);
    EXPECT_EQ(bus_error_count, static_cast<std::uint32_t>(cycles));

    // A new operation starts a new count.
    bus_reset();
    console.clear();
    lpc_mem_write(0, 0, 0);
    EXPECT_EQ(console, std::vector<std::string>{"Wr: Expecting Sync <0000>, but found 0xf"});
    EXPECT_EQ(bus_error_count, 1u);
}

// ---- End states and shape ------------------------------------------------------------

TEST_F(Lpc, CyclesEndAt3FAndTheResetLeaves70) {
    test_platform::data_register = 0xC5;
    answer({0x0, 0x1, 0x1, 0xF, 0xF});
    lpc_mem_read(1, 1);
    EXPECT_EQ(test_platform::data_register, 0x3F);
    answer({0x0, 0xF, 0xF});
    lpc_mem_write(1, 1, 1);
    EXPECT_EQ(test_platform::data_register, 0x3F);

    accesses.clear();
    test_platform::data_register = 0xBF;
    bus_reset();
    const std::vector<RecordedAccess> expected{
        {'R', data_reg, 0xBF}, {'S', 0, 1}, {'W', data_reg, 0x70}};
    EXPECT_EQ(accesses, expected);
    EXPECT_EQ(data_shadow, 0x70);
}

TEST_F(Lpc, CyclesHaveTheirExactShapeInPortAccesses) {
    for (const std::uint64_t n : {1u, 2u, 7u}) {
        for (const bool write : {false, true}) {
            SetUp();
            for (std::uint64_t i = 1; i < n; ++i) {
                answer({0x6});
            }
            answer({0x0, 0x5, 0xA, 0xF, 0xF});
            if (write) {
                lpc_mem_write(1, 0x5555, 0xAA);
            } else {
                lpc_mem_read(1, 0x5555);
            }
            const auto& counts = test_platform::counts;
            EXPECT_EQ(counts.data_reads, 73 + 3 * n) << "write " << write << " n " << n;
            EXPECT_EQ(counts.data_writes, (write ? 141 : 139) + 6 * n);
            EXPECT_EQ(counts.status_reads, (write ? 6 : 12) + 3 * n);
            EXPECT_EQ(counts.other, 0u);
            EXPECT_EQ(bus_view().clocks, static_cast<int>(20 + n));
        }
    }
}

} // namespace
