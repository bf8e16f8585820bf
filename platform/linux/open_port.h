// Opening and closing the port backend named by port_options (platform_open_port() is
// the opening, declared in platform/platform.h).
#pragma once

// Why platform_open_port() failed: the port itself (device, permission, simulated chip
// absent), or a file it needed (the simulated chip's image, the trace).
enum class PortFailure { none, port, file };
extern PortFailure port_failure;

// Leaves the port as found (data register restored, port released), saves the simulated
// chip's image when the run changed it and closes the trace. Each failure is a console
// line; the result names the worst (none when all went well). The port backend is the
// "no port" one afterwards.
PortFailure close_port();
