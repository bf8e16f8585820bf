// The two ways to the parallel port on Linux: the ppdev device (no root needed for the
// members of group lp) and direct port I/O with the processor's port instructions (root).
// Each open logs one console line on failure (the device, the reason and the remedy) and
// returns false; each close leaves the data register as it was found.
#pragma once

#include "cable/port.h"

#include <cstdint>

inline constexpr const char* default_ppdev_device = "/dev/parport0";

// Opens `device` and claims the port. The data register as found is kept, to be restored.
bool ppdev_open(const char* device);
// Reads and writes of base_port + 0, 1 and 2 on the claimed port.
PortBackend ppdev_backend();
// Restores the data register, releases the port and closes the device; false (with a
// console line) when one of these failed.
bool ppdev_close();

// Asks for I/O permission on `address` to `address` + 2.
bool direct_io_open(std::uint16_t address);
// Reads and writes of base_port + 0, 1 and 2 at the permitted address.
PortBackend direct_io_backend();
// Restores the data register and gives the permission back.
bool direct_io_close();

// The remedy for a port that could not be opened, by the error number.
const char* port_remedy(int error_number);
