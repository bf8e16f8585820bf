#include "flash/image_file.h"

#include "flash/image.h"
#include "ui/feedback.h"

#include <filesystem>

namespace {

// What a path names, as far as an image file is concerned.
enum PathKind {
    path_unknown, // absent, or the kind cannot be told: the open itself decides
    path_regular,
    path_directory,
    path_character_device,
    path_block_device,
    path_pipe_or_socket,
};

struct PathRule {
    bool readable;
    bool writable;
    const char* refusal; // the console line that says why a refused path is refused
};

// Indexed by PathKind.
constexpr PathRule path_rules[] = {
    {true, true, nullptr},
    {true, true, nullptr},
    {false, false, "The path names a folder, not a file"},
    {false, true, "The path names a device, not a file"},
    {false, false, "The path names a disk device, not a file"},
    {false, false, "The path names a pipe or socket, not a file"},
};

struct PathInfo {
    PathKind kind;
    std::uintmax_t size; // of a regular file, else 0
};

PathKind kind_of(std::filesystem::file_type type) {
    using std::filesystem::file_type;
    switch (type) {
    case file_type::regular:
        return path_regular;
    case file_type::directory:
        return path_directory;
    case file_type::character:
        return path_character_device;
    case file_type::block:
        return path_block_device;
    case file_type::fifo:
    case file_type::socket:
        return path_pipe_or_socket;
    default:
        return path_unknown;
    }
}

// Follows symbolic links. A name that cannot be converted or examined stays unknown.
PathInfo examine_path(const char* path) {
    PathInfo info{path_unknown, 0};
    try {
        const std::filesystem::path name(path);
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(name, error);
        if (error) {
            return info;
        }
        info.kind = kind_of(status.type());
        if (info.kind == path_regular) {
            const std::uintmax_t size = std::filesystem::file_size(name, error);
            info.size = error ? 0 : size;
        }
    } catch (...) {
        info.kind = path_unknown;
    }
    return info;
}

std::FILE* refuse(const char* line, const char* reason) {
    console_log(line);
    if (reason != nullptr) {
        console_log(reason);
    }
    note_fault(fault_file);
    return nullptr;
}

constexpr const char* cannot_read = "Cannot open file for reading";
constexpr const char* cannot_write = "Cannot open file for writing";

} // namespace

std::FILE* open_image_for_reading(const char* path, bool from_end) {
    if (path == nullptr || *path == '\0') {
        return refuse(cannot_read, nullptr);
    }
    const PathInfo info = examine_path(path);
    const PathRule& rule = path_rules[info.kind];
    if (!rule.readable) {
        return refuse(cannot_read, rule.refusal);
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return refuse(cannot_read, nullptr);
    }
    if (from_end && std::fseek(file, -static_cast<long>(image_size), SEEK_END) == 0) {
        return file;
    }
    if (from_end && info.size >= image_size) {
        // Long enough for the window, yet the stream cannot get there.
        std::fclose(file);
        return refuse(cannot_read, "Cannot seek to the last 262144 bytes of the file");
    }
    // The window starts at the first byte: from the start, or a file shorter than it.
    std::rewind(file);
    return file;
}

std::FILE* open_image_for_writing(const char* path) {
    if (path == nullptr || *path == '\0') {
        return refuse(cannot_write, nullptr);
    }
    const PathRule& rule = path_rules[examine_path(path).kind];
    if (!rule.writable) {
        return refuse(cannot_write, rule.refusal);
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return refuse(cannot_write, nullptr);
    }
    return file;
}

int read_image_byte(std::FILE* file) {
    const int byte = std::fgetc(file);
    if (byte != EOF) {
        return byte;
    }
    return std::ferror(file) ? image_read_failed : 0xFF;
}
