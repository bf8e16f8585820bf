#include "cable/port.h"

namespace {
std::uint8_t floating_read(std::uint16_t) {
    return 0xFF;
}
void discarded_write(std::uint16_t, std::uint8_t) {}
} // namespace

PortBackend no_port_backend() {
    return PortBackend{floating_read, discarded_write};
}

constinit PortBackend port_backend{floating_read, discarded_write};
std::uint16_t base_port = lpt1_base;
std::uint32_t delay_constant = 0;
std::uint8_t data_shadow = 0;
