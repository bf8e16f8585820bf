#include "platform/linux/port_system.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The processor's port instructions exist on x86 only; elsewhere direct I/O is refused
// the way the kernel refuses it to a process without the permission.
#if defined(__i386__) || defined(__x86_64__)
#include <sys/io.h>

namespace {
int system_ioperm(unsigned long from, unsigned long count, int turn_on) {
    return ::ioperm(from, count, turn_on);
}
std::uint8_t system_inb(std::uint16_t port) {
    return ::inb(port);
}
void system_outb(std::uint8_t value, std::uint16_t port) {
    ::outb(value, port);
}
} // namespace
#else
namespace {
int system_ioperm(unsigned long, unsigned long, int) {
    errno = ENOSYS;
    return -1;
}
std::uint8_t system_inb(std::uint16_t) {
    return 0xFF;
}
void system_outb(std::uint8_t, std::uint16_t) {}
} // namespace
#endif

namespace {
int system_open(const char* path, int flags) {
    return ::open(path, flags | O_CLOEXEC);
}
int system_close(int fd) {
    return ::close(fd);
}
int system_ioctl(int fd, unsigned long request, void* argument) {
    return ::ioctl(fd, request, argument);
}
} // namespace

PortSystem real_port_system() {
    return PortSystem{system_open,   system_close, system_ioctl,
                      system_ioperm, system_inb,   system_outb};
}

PortSystem port_system = real_port_system();
