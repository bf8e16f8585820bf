// The simulated chip's contents between runs: loading and the atomic save, with every
// file fault.
#include "sim/sim.h"
#include "sim_image_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class SimImage : public SimImageFixture {};

TEST_F(SimImage, LoadsAWholeImageAndSavesItBack) {
    const std::string p = path("chip.bin");
    const std::vector<char> bytes = pattern(sim_chip_size);
    write_file(p, bytes);
    std::string error = "stale";
    ASSERT_TRUE(sim_load_image(p.c_str(), &error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(sim_peek(0), static_cast<std::uint8_t>(bytes[0]));
    EXPECT_EQ(sim_peek(0x2F00D), static_cast<std::uint8_t>(bytes[0x2F00D]));
    EXPECT_EQ(sim_peek(0x3FFFF), static_cast<std::uint8_t>(bytes[0x3FFFF]));
    EXPECT_FALSE(sim_contents_changed());

    sim_poke(0x12345, 0x00);
    ASSERT_TRUE(sim_save_image(p.c_str(), &error)) << error;
    std::vector<char> expected = bytes;
    expected[0x12345] = 0;
    EXPECT_EQ(read_file(p), expected);
    EXPECT_EQ(files(), std::vector<std::string>{"chip.bin"});
}

TEST_F(SimImage, AMissingImageIsCreatedErased) {
    sim_poke(5, 0x00);
    const std::string p = path("new.bin");
    std::string error;
    ASSERT_TRUE(sim_load_image(p.c_str(), &error));
    EXPECT_NE(error.find("not found: created, the chip is erased"), std::string::npos) << error;
    EXPECT_EQ(sim_peek(5), 0xFF);
    EXPECT_EQ(read_file(p), std::vector<char>(sim_chip_size, static_cast<char>(0xFF)));

    // Where it cannot be created, the load fails.
    EXPECT_FALSE(sim_load_image(path("no/such/dir/chip.bin").c_str(), &error));
    EXPECT_NE(error.find("not created"), std::string::npos) << error;
}

TEST_F(SimImage, ImagesOfAnotherSizeAreRefusedAndChangeNothing) {
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{sim_chip_size - 1},
          std::size_t{sim_chip_size + 1}, std::size_t{2} * sim_chip_size}) {
        const std::string p = path("odd.bin");
        write_file(p, pattern(size));
        sim_poke(0, 0x5A);
        std::string error;
        EXPECT_FALSE(sim_load_image(p.c_str(), &error)) << size;
        EXPECT_NE(error.find(std::to_string(size) + " bytes, not 262144"), std::string::npos)
            << error;
        EXPECT_EQ(sim_peek(0), 0x5A);
        EXPECT_EQ(read_file(p).size(), size); // left as it was
    }
}

TEST_F(SimImage, SpecialFilesAreRefused) {
    std::string error;
    EXPECT_FALSE(sim_load_image(dir_.string().c_str(), &error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    if (fs::exists("/dev/zero")) {
        EXPECT_FALSE(sim_load_image("/dev/zero", &error)); // would never end
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    EXPECT_FALSE(sim_load_image("", &error));
    EXPECT_FALSE(sim_save_image("", &error));
}

TEST_F(SimImage, AFailedSaveLeavesTheOldImageAndNoTemporary) {
    std::string error;
    // The target is a directory: the rename fails after the new file was written.
    const std::string folder = path("folder");
    fs::create_directory(folder);
    EXPECT_FALSE(sim_save_image(folder.c_str(), &error));
    EXPECT_NE(error.find("Cannot replace"), std::string::npos) << error;
    EXPECT_EQ(files(), std::vector<std::string>{"folder"});

    // No folder to write the new file in.
    EXPECT_FALSE(sim_save_image(path("missing/chip.bin").c_str(), &error));
    EXPECT_NE(error.find("Cannot create"), std::string::npos) << error;
    EXPECT_EQ(files(), std::vector<std::string>{"folder"});
}

} // namespace
