// The cable driver against the recording port: register values and access sequences.
#include "cable/lines.h"
#include "cable/nibble.h"
#include "cable/port.h"
#include "platform/test/test_platform.h"

#include <gtest/gtest.h>

namespace {

using test_platform::accesses;

constexpr std::uint16_t data_reg = 0x378;
constexpr std::uint16_t status_reg = 0x379;

class Cable : public ::testing::Test {
  protected:
    void SetUp() override { test_platform::reset(); }
};

struct LineCase {
    const char* name;
    void (*routine)();
    std::uint8_t before;
    std::uint8_t written;
    int writes;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class LineRoutines : public Cable, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineRoutines, ReadModifyWriteOfTheDataRegister) {
    const LineCase& c = GetParam();
    test_platform::data_register = c.before;
    c.routine();
    std::vector<RecordedAccess> expected{{'R', data_reg, c.before}};
    for (int i = 0; i < c.writes; ++i) {
        expected.push_back({'W', data_reg, c.written});
    }
    EXPECT_EQ(accesses, expected);
    EXPECT_EQ(data_shadow, c.written);
}

INSTANTIATE_TEST_SUITE_P(Table, LineRoutines,
                         ::testing::Values(LineCase{"clock_low_C5", clock_low, 0xC5, 0xB5, 2},
                                           LineCase{"clock_high_C5", clock_high, 0xC5, 0xF5, 2},
                                           LineCase{"frame_begin_C5", frame_begin, 0xC5, 0x95, 1},
                                           // The release bit survives the line routines.
                                           LineCase{"clock_high_FF", clock_high, 0xFF, 0xFF, 2},
                                           LineCase{"frame_begin_FF", frame_begin, 0xFF, 0x9F, 1},
                                           LineCase{"clock_low_00", clock_low, 0x00, 0x30, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cable, PutNibbleKeepsBits4To6AndClearsTheReleaseBit) {
    const struct {
        std::uint8_t before, nibble, written;
    } cases[] = {{0xFF, 0x0A, 0x7A}, {0x00, 0x1F, 0x0F}, {0xC5, 0x03, 0x43}};
    for (const auto& c : cases) {
        test_platform::reset();
        test_platform::data_register = c.before;
        rev2::put_nibble(c.nibble);
        const std::vector<RecordedAccess> expected{
            {'R', data_reg, c.before}, {'W', data_reg, c.written}, {'W', data_reg, c.written}};
        EXPECT_EQ(accesses, expected) << "before " << int(c.before) << " nibble " << int(c.nibble);
    }
}

TEST_F(Cable, GetNibbleUsesTheThirdStatusReadingOnly) {
    const struct {
        std::uint8_t third, nibble;
    } cases[] = {{0x50, 0x0A}, {0x87, 0x00}, {0xFF, 0x0F}, {0x08, 0x01}, {0x40, 0x08}};
    for (const auto& c : cases) {
        test_platform::reset();
        test_platform::status_script = {0x00, 0x00, c.third};
        EXPECT_EQ(rev2::get_nibble(), c.nibble);
        const std::vector<RecordedAccess> expected{
            {'R', status_reg, 0x00}, {'R', status_reg, 0x00}, {'R', status_reg, c.third}};
        EXPECT_EQ(accesses, expected);
    }
}

TEST_F(Cable, ProbeWhoseFirstSampleIsNotFDrivesOneNibble) {
    test_platform::data_register = 0x00;
    test_platform::status_script = {0x00, 0x00, 0x00};
    EXPECT_EQ(probe_cable(), cable_rev2);
    const std::vector<RecordedAccess> expected{
        {'R', data_reg, 0x00},   {'W', data_reg, 0x0F},   {'W', data_reg, 0x0F},   {'S', 0, 1},
        {'R', status_reg, 0x00}, {'R', status_reg, 0x00}, {'R', status_reg, 0x00},
    };
    EXPECT_EQ(accesses, expected);
}

TEST_F(Cable, ProbeWhoseFirstSampleIsFDrivesAndSamplesASecondNibble) {
    test_platform::data_register = 0x30;
    test_platform::status_script = {0x78, 0x78, 0x78, 0x78, 0x78, 0x78}; // lines stay high
    EXPECT_EQ(probe_cable(), cable_rev2);
    const std::vector<RecordedAccess> expected{
        {'R', data_reg, 0x30},
        {'W', data_reg, 0x3F},
        {'W', data_reg, 0x3F},
        {'S', 0, 1},
        {'R', status_reg, 0x78},
        {'R', status_reg, 0x78},
        {'R', status_reg, 0x78},
        {'R', data_reg, 0x3F},
        {'W', data_reg, 0x30},
        {'W', data_reg, 0x30},
        {'S', 0, 1},
        {'R', status_reg, 0x78},
        {'R', status_reg, 0x78},
        {'R', status_reg, 0x78},
    };
    EXPECT_EQ(accesses, expected);
}

TEST_F(Cable, StartUpInstallsRev2AndLogsTheFirstConsoleLine) {
    nibble_driver = NibbleDriver{nullptr, nullptr};
    select_nibble_driver(probe_cable());
    EXPECT_EQ(nibble_driver.put_nibble, &rev2::put_nibble);
    EXPECT_EQ(nibble_driver.get_nibble, &rev2::get_nibble);
    ASSERT_EQ(test_platform::console.size(), 1u);
    EXPECT_EQ(test_platform::console[0], "Velmora Family Using Rev.2 driver");
}

TEST_F(Cable, DelayConstantChangesTimingOnly) {
    const std::uint32_t delays[] = {0, 1, 1000};
    std::vector<RecordedAccess> first;
    for (const std::uint32_t delay : delays) {
        test_platform::reset();
        delay_constant = delay;
        clock_low();
        rev2::put_nibble(0x5);
        rev2::get_nibble();
        if (first.empty()) {
            first = accesses;
        }
        EXPECT_EQ(accesses, first) << "delay " << delay;
    }
}

TEST_F(Cable, EveryAccessGoesToTheFixedBase) {
    open_port_driver();
    select_nibble_driver(probe_cable());
    clock_low();
    clock_high();
    frame_begin();
    for (const RecordedAccess& access : accesses) {
        if (access.kind != 'S') {
            EXPECT_TRUE(access.address == data_reg || access.address == status_reg);
        }
    }
}

} // namespace
