// Byte access to the parallel port's registers, and the busy-wait that sets the bus speed.
#pragma once

#include <cstdint>

// Where port_in and port_out go: the real port, the simulated cable and chip, or a test
// recorder. Chosen at start-up; every access of the whole program passes through it.
struct PortBackend {
    std::uint8_t (*read)(std::uint16_t address);
    void (*write)(std::uint16_t address, std::uint8_t value);
};

// Until a backend is installed, reads give 0xFF (a port with nothing on it) and writes
// go nowhere.
extern PortBackend port_backend;
PortBackend no_port_backend();

// The parallel port's base address; data register at +0, status at +1, control at +2.
extern std::uint16_t base_port;
inline constexpr std::uint16_t lpt1_base = 0x378;

// Busy-wait iterations before every line and nibble routine; set by the command worker.
extern std::uint32_t delay_constant;

// Working copy of the data register: every change of a line reads the register into it,
// masks it and writes it back.
extern std::uint8_t data_shadow;

inline std::uint8_t port_in(std::uint16_t address) {
    return port_backend.read(address);
}
inline void port_out(std::uint16_t address, std::uint8_t value) {
    port_backend.write(address, value);
}

// Busy-waits exactly delay_constant iterations (none for 0). The counter is volatile so
// that an optimising build keeps every iteration.
inline void bus_delay() {
    std::uint32_t count = delay_constant;
    if (count == 0) {
        return;
    }
    volatile std::uint32_t counter = count;
    while (counter != 0) {
        counter = counter - 1;
    }
}
