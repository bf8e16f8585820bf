#include "platform/linux/parallel_port.h"

#include <cerrno>

const char* port_remedy(int error_number) {
    static const struct {
        int error_number;
        const char* remedy;
    } remedies[] = {
        {ENOENT, "load the ppdev module (modprobe ppdev), or name the device with --port"},
        {ENODEV, "load the ppdev module (modprobe ppdev), or name the device with --port"},
        {ENXIO, "load the ppdev module (modprobe ppdev), or name the device with --port"},
        {EACCES, "join group lp for the ppdev device, or run as root for direct I/O"},
        {EPERM, "direct I/O needs root; members of group lp can use the ppdev device"},
        {EBUSY, "another program holds the port: close it"},
        {EINVAL, "direct I/O reaches addresses up to 0x3ff only"},
        {ENOSYS, "direct I/O needs an x86 processor: use the ppdev device"},
    };
    for (const auto& entry : remedies) {
        if (entry.error_number == error_number) {
            return entry.remedy;
        }
    }
    return "check the device (--port) or the address (--io)";
}
