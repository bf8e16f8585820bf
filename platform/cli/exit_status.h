// The exit status of velmora-cli from what the run went through.
#pragma once

#include "platform/linux/open_port.h"

#include <cstdint>

struct RunOutcome {
    bool interrupted;          // Ctrl-C or SIGTERM
    PortFailure open_failure;  // the port could not be opened
    std::uint8_t faults;       // operation_faults of the command
    PortFailure close_failure; // leaving the port, saving the image, closing the trace
    bool output_failed;        // a console line could not be written
};

// Precedence, highest first: interrupted (130), bus or device fault (3), file fault (2),
// the chip differs (1), success (0). An interruption explains whatever else went wrong;
// a bus fault makes every finding about the chip uncertain, so it outranks a mismatch,
// and a port that answers wrongly matters more than a file. When the port could not be
// opened, the reason (the port itself, or a file it needed) decides.
int exit_status(const RunOutcome& outcome);
