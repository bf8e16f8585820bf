#include "platform/linux/open_port.h"

#include "platform/linux/parallel_port.h"
#include "platform/linux/port_options.h"
#include "platform/platform.h"

PortFailure port_failure = PortFailure::none;

namespace {

enum class Opened { nothing, ppdev, direct_io };
Opened opened = Opened::nothing;

bool open_hardware(PortBackend* backend) {
    if (port_options.direct_io) {
        if (!direct_io_open(port_options.io_address)) {
            return false;
        }
        opened = Opened::direct_io;
        *backend = direct_io_backend();
        return true;
    }
    if (!ppdev_open(port_options.ppdev_device.c_str())) {
        return false;
    }
    opened = Opened::ppdev;
    *backend = ppdev_backend();
    return true;
}

} // namespace

bool platform_open_port() {
    port_failure = PortFailure::none;
    PortBackend backend = no_port_backend();
    if (!open_hardware(&backend)) {
        port_failure = PortFailure::port;
        return false;
    }
    port_backend = backend;
    return true;
}

PortFailure close_port() {
    port_backend = no_port_backend();
    bool closed = true;
    if (opened == Opened::ppdev) {
        closed = ppdev_close();
    } else if (opened == Opened::direct_io) {
        closed = direct_io_close();
    }
    opened = Opened::nothing;
    return closed ? PortFailure::none : PortFailure::port;
}
