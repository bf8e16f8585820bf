// A folder of its own for each test, named after it and removed afterwards, since the
// tests run in parallel processes. With the file helpers the tests share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct ScratchFolder {
    std::filesystem::path dir;

    // A fresh, empty folder for the running test.
    void create(const std::string& prefix) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              (prefix + info->test_suite_name() + "_" + info->name());
        // A parameterised test's name holds a '/'.
        std::string name = dir.filename().string();
        std::replace(name.begin(), name.end(), '/', '_');
        dir.replace_filename(name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void remove() const {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string path(const char* name) const { return (dir / name).string(); }

    // The names of the files in the folder, sorted.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

template <typename Byte> void write_bytes(const std::string& path, const std::vector<Byte>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<char> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
