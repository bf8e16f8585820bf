// The system calls behind Linux port access, as function pointers so that the tests can
// put a fake parallel port in their place.
#pragma once

#include <cstdint>

struct PortSystem {
    int (*open)(const char* path, int flags);
    int (*close)(int fd);
    int (*ioctl)(int fd, unsigned long request, void* argument);
    int (*ioperm)(unsigned long from, unsigned long count, int turn_on);
    std::uint8_t (*inb)(std::uint16_t port);
    void (*outb)(std::uint8_t value, std::uint16_t port);
};

// The calls in use; real_port_system() unless a test replaced them.
extern PortSystem port_system;
PortSystem real_port_system();
