// The simulated chip's image files: a scratch folder per test and the file helpers.
#pragma once

#include "scratch_folder.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

class SimImageFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        sim_reset();
        folder_.create("velmora_sim_");
        dir_ = folder_.dir;
    }
    void TearDown() override { folder_.remove(); }

    std::string path(const char* name) const { return folder_.path(name); }

    static std::vector<char> pattern(std::size_t size) {
        std::vector<char> bytes(size);
        for (std::size_t k = 0; k < size; ++k) {
            bytes[k] = static_cast<char>((k * 131 + k / 256) & 0xFF);
        }
        return bytes;
    }

    static void write_file(const std::string& p, const std::vector<char>& bytes) {
        write_bytes(p, bytes);
    }
    static std::vector<char> read_file(const std::string& p) { return read_bytes(p); }

    // Only the named files are in the folder: no temporary left behind.
    std::vector<std::string> files() const { return folder_.files(); }

    ScratchFolder folder_;
    std::filesystem::path dir_;
};
