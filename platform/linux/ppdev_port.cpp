// The ppdev realisation. Data register reads return the value last written: in the
// port's default compatibility mode PPRDATA reads the data lines, which on some ports are
// not the latch, and every line routine starts from this read. Status reads go to the
// port (PPRSTATUS), and so do control register reads and writes.
#include "platform/linux/parallel_port.h"
#include "platform/linux/port_system.h"
#include "ui/feedback.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <string>
#include <sys/ioctl.h>

namespace {

int ppdev_fd = -1;
std::string ppdev_name;
std::uint8_t data_latch = 0;    // the data register as last written
std::uint8_t data_as_found = 0; // restored at close
bool access_failed = false;     // the first failed access of a run is logged

void access_failure(const char* what, int error_number) {
    note_fault(fault_bus);
    if (access_failed) {
        return;
    }
    access_failed = true;
    const std::string line = std::string("Parallel port ") + what + " failed on " + ppdev_name +
                             ": " + std::strerror(error_number);
    console_log(line.c_str());
}

void open_failure(const char* what, int error_number) {
    const std::string line = std::string("Cannot ") + what + " parallel port " + ppdev_name + ": " +
                             std::strerror(error_number) + " (" + port_remedy(error_number) + ")";
    console_log(line.c_str());
}

int register_of(std::uint16_t address) {
    return static_cast<std::uint16_t>(address - base_port);
}

std::uint8_t ppdev_read(std::uint16_t address) {
    unsigned char value = 0xFF;
    switch (register_of(address)) {
    case 0:
        return data_latch;
    case 1:
        if (port_system.ioctl(ppdev_fd, PPRSTATUS, &value) != 0) {
            access_failure("status read", errno);
        }
        return value;
    case 2:
        if (port_system.ioctl(ppdev_fd, PPRCONTROL, &value) != 0) {
            access_failure("control read", errno);
        }
        return value;
    default:
        return 0xFF;
    }
}

void ppdev_write(std::uint16_t address, std::uint8_t value) {
    unsigned char byte = value;
    switch (register_of(address)) {
    case 0:
        data_latch = value;
        if (port_system.ioctl(ppdev_fd, PPWDATA, &byte) != 0) {
            access_failure("data write", errno);
        }
        break;
    case 2:
        if (port_system.ioctl(ppdev_fd, PPWCONTROL, &byte) != 0) {
            access_failure("control write", errno);
        }
        break;
    default:
        break;
    }
}

} // namespace

bool ppdev_open(const char* device) {
    ppdev_name = device;
    access_failed = false;
    const int fd = port_system.open(device, O_RDWR);
    if (fd < 0) {
        open_failure("open", errno);
        return false;
    }
    if (port_system.ioctl(fd, PPCLAIM, nullptr) != 0) {
        const int error_number = errno;
        port_system.close(fd);
        open_failure("claim", error_number);
        return false;
    }
    unsigned char found = 0;
    if (port_system.ioctl(fd, PPRDATA, &found) != 0) {
        const int error_number = errno;
        port_system.ioctl(fd, PPRELEASE, nullptr);
        port_system.close(fd);
        open_failure("read", error_number);
        return false;
    }
    ppdev_fd = fd;
    data_as_found = found;
    data_latch = found;
    return true;
}

PortBackend ppdev_backend() {
    return PortBackend{ppdev_read, ppdev_write};
}

bool ppdev_close() {
    if (ppdev_fd < 0) {
        return true;
    }
    bool closed = true;
    unsigned char byte = data_as_found;
    const struct {
        unsigned long request;
        void* argument;
        const char* what;
    } steps[] = {{PPWDATA, &byte, "restore the data register of"}, {PPRELEASE, nullptr, "release"}};
    for (const auto& step : steps) {
        if (port_system.ioctl(ppdev_fd, step.request, step.argument) != 0) {
            const std::string line = std::string("Cannot ") + step.what + " parallel port " +
                                     ppdev_name + ": " + std::strerror(errno);
            console_log(line.c_str());
            closed = false;
        }
    }
    if (port_system.close(ppdev_fd) != 0) {
        const std::string line =
            "Cannot close parallel port " + ppdev_name + ": " + std::strerror(errno);
        console_log(line.c_str());
        closed = false;
    }
    ppdev_fd = -1;
    return closed;
}
