// The port-access trace around the recording port and around the simulated chip: the
// line format, the sleeps, the backend put back on close, and write errors reported.
#include "cable/lines.h"
#include "cable/port.h"
#include "lpc/cycle.h"
#include "platform/test/test_platform.h"
#include "platform/trace/port_trace.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class PortTrace : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() / (std::string("velmora_trace_") + info->name());
        fs::remove(path_);
    }
    void TearDown() override {
        std::string error;
        port_trace_close(&error);
        fs::remove(path_);
    }

    std::vector<std::string> lines() const {
        std::ifstream in(path_);
        std::vector<std::string> result;
        for (std::string line; std::getline(in, line);) {
            result.push_back(line);
        }
        return result;
    }

    fs::path path_;
};

TEST_F(PortTrace, WritesOneLinePerAccessAndSleep) {
    std::string error;
    test_platform::status_script = {0x78};
    ASSERT_TRUE(port_trace_open(path_.c_str(), &error)) << error;
    port_out(0x378, 0x3F);
    port_in(0x379);
    port_trace_sleep(1);
    port_out(0x37A, 0x04);
    port_in(0x378);
    port_trace_sleep(100);
    port_out(0x5, 0x00);
    ASSERT_TRUE(port_trace_close(&error)) << error;
    const std::vector<std::string> expected{"W 378 3F", "R 379 78", "S 1",   "W 37A 04",
                                            "R 378 3F", "S 100",    "W 5 00"};
    EXPECT_EQ(lines(), expected);
}

TEST_F(PortTrace, PassesEveryAccessOnAndPutsTheBackendBack) {
    std::string error;
    ASSERT_TRUE(port_trace_open(path_.c_str(), &error)) << error;
    port_out(0x378, 0xA5);
    EXPECT_EQ(test_platform::data_register, 0xA5);
    EXPECT_EQ(port_in(0x378), 0xA5);
    EXPECT_EQ(test_platform::counts.data_writes, 1u);
    EXPECT_EQ(test_platform::counts.data_reads, 1u);
    ASSERT_TRUE(port_trace_close(&error));
    EXPECT_FALSE(port_trace_running());
    port_out(0x378, 0x11); // no longer traced
    port_trace_sleep(5);
    EXPECT_EQ(lines().size(), 2u);
    EXPECT_EQ(test_platform::data_register, 0x11);
}

TEST_F(PortTrace, TracesAWholeCycleOnTheSimulatedChip) {
    sim_reset();
    sim_poke(0x12345, 0xC3);
    test_platform::record_and_forward(sim_port_backend());
    std::string error;
    ASSERT_TRUE(port_trace_open(path_.c_str(), &error)) << error;
    bus_reset();
    EXPECT_EQ(lpc_mem_read(1, 0x2345), 0xC3);
    ASSERT_TRUE(port_trace_close(&error)) << error;
    // The trace shows exactly the port accesses that the recording port saw, in the same
    // order (the test realisation's sleep does not call port_trace_sleep).
    std::vector<std::string> recorded;
    for (const RecordedAccess& a : test_platform::accesses) {
        if (a.kind == 'S') {
            continue;
        }
        std::ostringstream line;
        line << a.kind << ' ' << std::uppercase << std::hex << a.address << ' '
             << (a.value < 16 ? "0" : "") << a.value;
        recorded.push_back(line.str());
    }
    EXPECT_EQ(lines(), recorded);
    EXPECT_EQ(lines().size(), 2u + 236u); // the reset's read and write, a read cycle's 236
}

TEST_F(PortTrace, RefusesASecondTraceAndAnUnopenablePath) {
    std::string error;
    EXPECT_FALSE(port_trace_open((path_ / "no" / "such" / "dir").c_str(), &error));
    EXPECT_NE(error.find("Cannot open the port-access trace"), std::string::npos) << error;
    EXPECT_FALSE(port_trace_open("", &error));
    ASSERT_TRUE(port_trace_open(path_.c_str(), &error));
    EXPECT_FALSE(port_trace_open(path_.c_str(), &error));
    EXPECT_NE(error.find("already"), std::string::npos) << error;
    // The refused second open left the first one wrapping the port once.
    port_out(0x378, 0x01);
    ASSERT_TRUE(port_trace_close(&error));
    EXPECT_EQ(lines(), std::vector<std::string>{"W 378 01"});
}

TEST_F(PortTrace, AFullDiskIsReportedOnClose) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    std::string error;
    ASSERT_TRUE(port_trace_open("/dev/full", &error)) << error;
    for (int i = 0; i < 300000; ++i) { // more than the buffer holds
        port_out(0x378, 0x3F);
    }
    EXPECT_FALSE(port_trace_close(&error));
    EXPECT_NE(error.find("incomplete"), std::string::npos) << error;
    EXPECT_NE(error.find("No space left"), std::string::npos) << error;
    EXPECT_FALSE(port_trace_running());
}

} // namespace
