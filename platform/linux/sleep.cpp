// The wait of the cable probe and the bus reset. In a file of its own so that a program
// with its own realisation of it does not pull this one in.
#include "platform/platform.h"
#include "platform/trace/port_trace.h"

#include <chrono>
#include <thread>

void platform_sleep_ms(std::uint32_t ms) {
    port_trace_sleep(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
