#include "platform/linux/open_port.h"

#include "platform/linux/parallel_port.h"
#include "platform/linux/port_options.h"
#include "platform/platform.h"
#include "platform/trace/port_trace.h"
#include "sim/sim.h"
#include "ui/feedback.h"

#include <string>

PortFailure port_failure = PortFailure::none;

namespace {

enum class Opened { nothing, ppdev, direct_io, simulated };
Opened opened = Opened::nothing;

// The simulated chip with its faults, its contents loaded from the image file when one
// is named (created erased when missing).
bool open_simulated_chip(PortBackend* backend) {
    sim_reset();
    std::string error;
    if (!sim_parse_faults(port_options.sim_faults.c_str(), &sim_faults, &error)) {
        console_log(("Simulated chip: " + error).c_str());
        return false;
    }
    const std::string& image = *port_options.simulate;
    if (!image.empty()) {
        const bool loaded = sim_load_image(image.c_str(), &error);
        if (!error.empty()) {
            console_log(error.c_str());
        }
        if (!loaded) {
            port_failure = PortFailure::file;
            return false;
        }
    }
    opened = Opened::simulated;
    *backend = sim_port_backend();
    return true;
}

// Saves the simulated chip's contents when the run changed them.
bool close_simulated_chip() {
    const std::string& image = *port_options.simulate;
    if (image.empty() || !sim_contents_changed()) {
        return true;
    }
    std::string error;
    if (!sim_save_image(image.c_str(), &error)) {
        console_log(error.c_str());
        return false;
    }
    return true;
}

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

// Puts the trace around the opened backend when one is asked for.
bool open_trace() {
    if (port_options.trace_path.empty()) {
        return true;
    }
    std::string error;
    if (!port_trace_open(port_options.trace_path.c_str(), &error)) {
        console_log(error.c_str());
        return false;
    }
    return true;
}

} // namespace

bool platform_open_port() {
    port_failure = PortFailure::none;
    PortBackend backend = no_port_backend();
    const bool opened_now =
        port_options.simulate ? open_simulated_chip(&backend) : open_hardware(&backend);
    if (!opened_now) {
        if (port_failure == PortFailure::none) {
            port_failure = PortFailure::port;
        }
        return false;
    }
    port_backend = backend;
    if (!open_trace()) {
        // No chip operation runs untraced when a trace was asked for.
        close_port();
        port_failure = PortFailure::file;
        return false;
    }
    return true;
}

PortFailure close_port() {
    std::string error;
    PortFailure failure = PortFailure::none;
    if (!port_trace_close(&error)) {
        console_log(error.c_str());
        failure = PortFailure::file;
    }
    port_backend = no_port_backend();
    const struct {
        Opened what;
        bool (*close)();
        PortFailure failure;
    } closers[] = {
        {Opened::ppdev, ppdev_close, PortFailure::port},
        {Opened::direct_io, direct_io_close, PortFailure::port},
        {Opened::simulated, close_simulated_chip, PortFailure::file},
    };
    for (const auto& closer : closers) {
        if (closer.what == opened && !closer.close() && failure != PortFailure::port) {
            failure = closer.failure;
        }
    }
    opened = Opened::nothing;
    return failure;
}
