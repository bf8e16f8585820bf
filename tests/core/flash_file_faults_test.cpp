// Image files that are special files of a POSIX system: a pipe, devices, a full disk, a
// file whose bytes cannot be read. The chip behind the recording port answers every read
// with 0x00.
#include "flash/image.h"
#include "platform/test/test_platform.h"
#include "ui/feedback.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_platform::console;
using Lines = std::vector<std::string>;

constexpr std::uint64_t status_per_read = 15; // one read cycle with one SYNC clock

std::uint64_t read_cycles() {
    return test_platform::counts.status_reads / status_per_read;
}

class FileFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        test_platform::status_default = 0x00;
    }
};

TEST_F(FileFaults, PipeIsRefusedWithoutWaitingForAWriterOrReader) {
    const fs::path dir = fs::temp_directory_path() / "velmora_flash_pipe";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string pipe = (dir / "image.fifo").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const Lines why{"The path names a pipe or socket, not a file"};

    program_from_file(pipe.c_str(), true);
    EXPECT_EQ(verify_against_file(pipe.c_str(), false), 0);
    dump_to_file(pipe.c_str());
    const Lines expected{"Cannot open file for reading", why[0],
                         "Cannot open file for reading", why[0],
                         "Cannot open file for writing", why[0]};
    EXPECT_EQ(console, expected);
    EXPECT_TRUE(test_platform::accesses.empty());
    EXPECT_FALSE(test_platform::progress.range_set);
    EXPECT_EQ(operation_faults, fault_file);
    fs::remove_all(dir);
}

TEST_F(FileFaults, DeviceIsNoImageToReadButTakesADump) {
    program_from_file("/dev/null", false);
    const std::vector<std::string> refused{"Cannot open file for reading",
                                           "The path names a device, not a file"};
    EXPECT_EQ(console, refused);
    EXPECT_TRUE(test_platform::accesses.empty());

    test_platform::reset();
    test_platform::status_default = 0x00;
    test_platform::keep_log = false;
    dump_to_file("/dev/null");
    EXPECT_TRUE(console.empty());
    EXPECT_EQ(read_cycles(), image_size);
    EXPECT_EQ(operation_faults, 0);
}

TEST_F(FileFaults, DumpOnAFullDiskStopsAndSaysSo) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    test_platform::keep_log = false;
    dump_to_file("/dev/full");
    ASSERT_EQ(console.size(), 1u);
    // The stream fails when its buffer is first written out, at a whole number of KB.
    unsigned position = 0;
    ASSERT_EQ(std::sscanf(console[0].c_str(),
                          "Write to file failed at address 0x%5x, image file incomplete",
                          &position),
              1)
        << console[0];
    EXPECT_GT(position, 0u);
    EXPECT_LT(position, image_size);
    EXPECT_EQ(read_cycles(), position + 1u) << "the walk stops at the failed byte";
    EXPECT_NE(test_platform::progress.position, 0) << "the bar is not emptied as at the end";
    EXPECT_EQ(operation_faults, fault_file);
}

TEST_F(FileFaults, DumpWhoseCloseFailsSaysSo) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    // Aborted after one byte, which stays in the stream's buffer until the close.
    request_abort();
    dump_to_file("/dev/full");
    EXPECT_EQ(console,
              std::vector<std::string>{"Write to file failed at close, image file incomplete"});
    EXPECT_EQ(operation_faults, fault_file);
}

TEST_F(FileFaults, ReadErrorOfTheFileIsNotItsEnd) {
    // A regular file whose first byte cannot be read: the start of the address space.
    const char* unreadable = "/proc/self/mem";
    std::FILE* probe = std::fopen(unreadable, "rb");
    if (probe == nullptr) {
        GTEST_SKIP() << "no " << unreadable;
    }
    const bool fails = std::fgetc(probe) == EOF && std::ferror(probe);
    std::fclose(probe);
    if (!fails) {
        GTEST_SKIP() << unreadable << " reads";
    }
    const std::string line = "Read from file failed at address 0x00000, stopped";
    program_from_file(unreadable, false);
    EXPECT_EQ(console, std::vector<std::string>{line});
    EXPECT_EQ(read_cycles(), 0u) << "nothing programmed";
    EXPECT_EQ(operation_faults, fault_file);

    test_platform::reset();
    test_platform::status_default = 0x00;
    EXPECT_EQ(verify_against_file(unreadable, true), 0);
    EXPECT_EQ(console, std::vector<std::string>{line});
    EXPECT_EQ(read_cycles(), 0u);
}

} // namespace
