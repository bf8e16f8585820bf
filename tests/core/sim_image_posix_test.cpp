// The simulated chip's image files where POSIX lets a test provoke the faults: a file
// that cannot be read, and a write that fails part-way as on a full disk.
#include "sim/sim.h"
#include "sim_image_fixture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class SimImagePosix : public SimImageFixture {};

TEST_F(SimImagePosix, AnUnreadableFileIsRefused) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    const std::string p = path("locked.bin");
    write_file(p, pattern(sim_chip_size));
    fs::permissions(p, fs::perms::none);
    sim_poke(0, 0x5A);
    std::string error;
    EXPECT_FALSE(sim_load_image(p.c_str(), &error));
    EXPECT_NE(error.find("Cannot open"), std::string::npos) << error;
    EXPECT_EQ(sim_peek(0), 0x5A);
    fs::permissions(p, fs::perms::owner_all);
}

TEST_F(SimImagePosix, AWriteErrorIsCaughtAndTheOldImageKept) {
    const std::string p = path("chip.bin");
    const std::vector<char> old = pattern(sim_chip_size);
    write_file(p, old);
    sim_poke(0, 0x00);
    // Files may grow to 64 KB only: the write of the new file fails part-way, as on a
    // full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 0x10000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool saved_ok = sim_save_image(p.c_str(), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(saved_ok);
    EXPECT_NE(error.find("Cannot write"), std::string::npos) << error;
    EXPECT_EQ(read_file(p), old);
    EXPECT_EQ(files(), std::vector<std::string>{"chip.bin"});
}

} // namespace
