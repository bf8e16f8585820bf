// Direct port I/O: the kernel grants the three registers with ioperm, and the processor's
// port instructions read and write them. Needs root (CAP_SYS_RAWIO).
#include "platform/linux/parallel_port.h"
#include "platform/linux/port_system.h"
#include "ui/feedback.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr unsigned long register_count = 3;
std::uint16_t io_base = 0;
bool io_granted = false;
std::uint8_t data_as_found = 0;

std::string range_text() {
    char text[32];
    std::snprintf(text, sizeof text, "0x%x-0x%x", static_cast<unsigned>(io_base),
                  static_cast<unsigned>(io_base + register_count - 1));
    return text;
}

std::uint8_t direct_read(std::uint16_t address) {
    const std::uint16_t reg = static_cast<std::uint16_t>(address - base_port);
    if (reg >= register_count) {
        return 0xFF;
    }
    return port_system.inb(static_cast<std::uint16_t>(io_base + reg));
}

void direct_write(std::uint16_t address, std::uint8_t value) {
    const std::uint16_t reg = static_cast<std::uint16_t>(address - base_port);
    if (reg < register_count) {
        port_system.outb(value, static_cast<std::uint16_t>(io_base + reg));
    }
}

} // namespace

bool direct_io_open(std::uint16_t address) {
    io_base = address;
    if (port_system.ioperm(address, register_count, 1) != 0) {
        const int error_number = errno;
        const std::string line = "No I/O permission for ports " + range_text() + ": " +
                                 std::strerror(error_number) + " (" + port_remedy(error_number) +
                                 ")";
        console_log(line.c_str());
        return false;
    }
    io_granted = true;
    data_as_found = port_system.inb(io_base);
    return true;
}

PortBackend direct_io_backend() {
    return PortBackend{direct_read, direct_write};
}

bool direct_io_close() {
    if (!io_granted) {
        return true;
    }
    port_system.outb(data_as_found, io_base);
    io_granted = false;
    if (port_system.ioperm(io_base, register_count, 0) != 0) {
        const std::string line = "Cannot give back I/O permission for ports " + range_text() +
                                 ": " + std::strerror(errno);
        console_log(line.c_str());
        return false;
    }
    return true;
}
