#include "cable/nibble.h"

#include "cable/lines.h"
#include "cable/port.h"
#include "platform/platform.h"
#include "ui/feedback.h"

NibbleDriver nibble_driver{nullptr, nullptr};
bool port_access_granted = false;

namespace rev2 {

void put_nibble(std::uint8_t nibble) {
    bus_delay();
    data_shadow = port_in(base_port);
    // Bits 4-6 as found, release bit cleared (the host takes LAD back), LAD = nibble.
    data_shadow = static_cast<std::uint8_t>((data_shadow & 0x70) | (nibble & line_lad_mask));
    port_out(base_port, data_shadow);
    port_out(base_port, data_shadow);
}

std::uint8_t get_nibble() {
    bus_delay();
    // The first two readings let the lines settle; only the third counts.
    port_in(base_port + 1);
    port_in(base_port + 1);
    const std::uint8_t status = port_in(base_port + 1);
    return static_cast<std::uint8_t>((status >> status_lad_shift) & 0x0F);
}

} // namespace rev2

int probe_cable() {
    rev2::put_nibble(0x0F);
    sleep_ms(1);
    if (rev2::get_nibble() != 0x0F) {
        return cable_rev2;
    }
    rev2::put_nibble(0x00);
    sleep_ms(1);
    rev2::get_nibble();
    return cable_rev2;
}

void select_nibble_driver(int revision) {
    // Only the Rev.2 driver exists; every revision is served by it.
    (void)revision;
    nibble_driver = NibbleDriver{rev2::put_nibble, rev2::get_nibble};
    console_log("Velmora Family Using Rev.2 driver");
}

void open_port_driver() {
    port_access_granted = platform_open_port();
}
