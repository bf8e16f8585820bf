// The start-up choice of the port backend: the simulated chip, the ppdev device or direct
// port I/O, optionally wrapped by the port-access trace. Filled by the front ends' argument
// parsers; platform_open_port() installs what it names.
#pragma once

#include "cable/port.h"
#include "platform/linux/parallel_port.h"

#include <cstdint>
#include <optional>
#include <string>

namespace CLI {
class App;
}

struct PortOptions {
    // Given: the simulated chip; its value is the image file that keeps the chip's contents
    // between runs ("": none kept).
    std::optional<std::string> simulate;
    std::string sim_faults; // the simulated chip's faults, "F[,F...]"; empty: none
    std::string ppdev_device = default_ppdev_device;
    bool direct_io = false;
    std::uint16_t io_address = lpt1_base;
    std::string trace_path; // empty: no trace
};

// What platform_open_port() installs.
extern PortOptions port_options;

// --simulate[=IMAGE], --sim-fault=F[,F...], --port=DEVICE, --io=ADDRESS, --trace=FILE, the
// same in every program that drives the port.
void add_port_options(CLI::App& app, PortOptions& options);

// An I/O address as given to --io: decimal, or hexadecimal with 0x, such that the three
// registers fit below 0x10000. False for anything else.
bool parse_io_address(const std::string& text, std::uint16_t* address);
