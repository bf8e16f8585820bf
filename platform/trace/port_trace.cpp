#include "platform/trace/port_trace.h"

#include "cable/port.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t trace_buffer_size = 1 << 20;
constexpr char hex_digits[] = "0123456789ABCDEF";

std::FILE* trace_file = nullptr;
std::string trace_path;
std::vector<char> trace_buffer;
PortBackend traced{nullptr, nullptr};
int first_errno = 0; // of the first failed write; 0 while all went well
bool write_failed = false;

void put(const char* text, std::size_t length) {
    if (std::fwrite(text, 1, length, trace_file) != length && !write_failed) {
        write_failed = true;
        first_errno = errno;
    }
}

char* put_address(char* out, std::uint16_t address) {
    bool leading = true;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const unsigned digit = (address >> shift) & 0xF;
        if (digit != 0 || !leading || shift == 0) {
            *out++ = hex_digits[digit];
            leading = false;
        }
    }
    return out;
}

void record(char kind, std::uint16_t address, std::uint8_t value) {
    char line[16];
    char* out = line;
    *out++ = kind;
    *out++ = ' ';
    out = put_address(out, address);
    *out++ = ' ';
    *out++ = hex_digits[value >> 4];
    *out++ = hex_digits[value & 0xF];
    *out++ = '\n';
    put(line, static_cast<std::size_t>(out - line));
}

std::uint8_t traced_read(std::uint16_t address) {
    const std::uint8_t value = traced.read(address);
    record('R', address, value);
    return value;
}

void traced_write(std::uint16_t address, std::uint8_t value) {
    traced.write(address, value);
    record('W', address, value);
}

} // namespace

bool port_trace_open(const char* path, std::string* error) {
    if (trace_file != nullptr) {
        *error = "A port-access trace is already being written to '" + trace_path + "'";
        return false;
    }
    if (path == nullptr || *path == '\0') {
        *error = "No file named for the port-access trace";
        return false;
    }
    trace_file = std::fopen(path, "w");
    if (trace_file == nullptr) {
        *error = std::string("Cannot open the port-access trace '") + path +
                 "': " + std::strerror(errno);
        return false;
    }
    trace_buffer.resize(trace_buffer_size);
    std::setvbuf(trace_file, trace_buffer.data(), _IOFBF, trace_buffer.size());
    trace_path = path;
    write_failed = false;
    first_errno = 0;
    traced = port_backend;
    port_backend = PortBackend{traced_read, traced_write};
    error->clear();
    return true;
}

void port_trace_sleep(std::uint32_t ms) {
    if (trace_file == nullptr) {
        return;
    }
    char line[16];
    const int length = std::snprintf(line, sizeof line, "S %u\n", static_cast<unsigned>(ms));
    put(line, static_cast<std::size_t>(length));
}

bool port_trace_close(std::string* error) {
    if (trace_file == nullptr) {
        error->clear();
        return true;
    }
    if (port_backend.read == traced_read && port_backend.write == traced_write) {
        port_backend = traced;
    }
    if (std::fflush(trace_file) != 0 && !write_failed) {
        write_failed = true;
        first_errno = errno;
    }
    if (std::fclose(trace_file) != 0 && !write_failed) {
        write_failed = true;
        first_errno = errno;
    }
    trace_file = nullptr;
    trace_buffer = std::vector<char>{};
    if (write_failed) {
        *error = "The port-access trace '" + trace_path +
                 "' is incomplete: " + std::strerror(first_errno);
        return false;
    }
    error->clear();
    return true;
}

bool port_trace_running() {
    return trace_file != nullptr;
}
