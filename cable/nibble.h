// Nibble transfers on the bus data lines, the cable probe and the start-up of port access.
#pragma once

#include <cstdint>

// The one table of operations: drive a nibble on LAD, sample LAD.
struct NibbleDriver {
    void (*put_nibble)(std::uint8_t nibble); // bits 0-3 of the argument count
    std::uint8_t (*get_nibble)();            // 0 to 15
};

// Empty until select_nibble_driver fills it during start-up; only read afterwards.
extern NibbleDriver nibble_driver;

// The Rev.2 cable: nibbles out on data register bits 0-3, in on status bits 3-6.
namespace rev2 {
void put_nibble(std::uint8_t nibble);
std::uint8_t get_nibble();
} // namespace rev2

// Cable revision as an index into the dialog's cable-type list.
inline constexpr int cable_rev1 = 0;
inline constexpr int cable_rev2 = 1;

// Drives 0xF and samples it back (and 0x0 when the first sample was 0xF). Yields Rev.2 on
// every path.
int probe_cable();

// Installs the nibble routines for `revision` and logs which driver is in use.
void select_nibble_driver(int revision);

// Grants port access through the platform; true when a port is there to drive.
extern bool port_access_granted;
void open_port_driver();
