// The chip's contents between runs: a raw image of exactly sim_chip_size bytes.
#include "sim/model.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string quoted(const char* path) {
    return std::string("'") + path + "'";
}

bool create_erased(const char* path, std::string* error) {
    std::fill(std::begin(sim_model::chip_array), std::end(sim_model::chip_array),
              std::uint8_t{0xFF});
    std::string why;
    if (!sim_save_image(path, &why)) {
        *error = "Simulated chip image " + quoted(path) + " not found and not created: " + why;
        return false;
    }
    *error = "Simulated chip image " + quoted(path) + " not found: created, the chip is erased";
    return true;
}

// Reads exactly sim_chip_size bytes; one byte more means the file grew meanwhile.
bool read_whole(const char* path, std::vector<std::uint8_t>* contents, std::string* error) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *error = "Cannot open simulated chip image " + quoted(path) + ": " + std::strerror(errno);
        return false;
    }
    contents->resize(sim_chip_size + 1);
    const std::size_t got = std::fread(contents->data(), 1, contents->size(), file);
    const int read_errno = errno;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        *error =
            "Cannot read simulated chip image " + quoted(path) + ": " + std::strerror(read_errno);
        return false;
    }
    if (got != sim_chip_size) {
        *error = "Simulated chip image " + quoted(path) + " changed size while it was read";
        return false;
    }
    return true;
}

} // namespace

bool sim_load_image(const char* path, std::string* error) {
    if (path == nullptr || *path == '\0') {
        *error = "No file named for the simulated chip image";
        return false;
    }
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        return create_erased(path, error);
    }
    if (ec) {
        *error = "Cannot read simulated chip image " + quoted(path) + ": " + ec.message();
        return false;
    }
    if (!fs::is_regular_file(status)) {
        *error = "Simulated chip image " + quoted(path) + " is not a regular file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        *error = "Cannot read simulated chip image " + quoted(path) + ": " + ec.message();
        return false;
    }
    if (size != sim_chip_size) {
        *error = "Simulated chip image " + quoted(path) + " is " + std::to_string(size) +
                 " bytes, not 262144: not a chip image";
        return false;
    }
    std::vector<std::uint8_t> contents;
    if (!read_whole(path, &contents, error)) {
        return false;
    }
    std::copy_n(contents.begin(), sim_chip_size, sim_model::chip_array);
    sim_model::chip_changed = false;
    error->clear();
    return true;
}

bool sim_save_image(const char* path, std::string* error) {
    if (path == nullptr || *path == '\0') {
        *error = "No file named for the simulated chip image";
        return false;
    }
    const std::string temporary = std::string(path) + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = "Cannot create " + quoted(temporary.c_str()) + ": " + std::strerror(errno);
        return false;
    }
    int write_errno = 0;
    bool written = std::fwrite(sim_model::chip_array, 1, sim_chip_size, file) == sim_chip_size;
    if (written && std::fflush(file) != 0) {
        written = false;
    }
    if (!written) {
        write_errno = errno;
    }
    if (std::fclose(file) != 0 && written) {
        written = false;
        write_errno = errno;
    }
    if (!written) {
        std::remove(temporary.c_str());
        *error = "Cannot write simulated chip image " + quoted(temporary.c_str()) + ": " +
                 std::strerror(write_errno);
        return false;
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        *error = "Cannot replace simulated chip image " + quoted(path) + ": " + ec.message();
        return false;
    }
    sim_model::chip_changed = false;
    error->clear();
    return true;
}
