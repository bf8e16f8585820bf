#include "platform/cli/exit_status.h"

#include "platform/cli/cli_arguments.h"
#include "ui/feedback.h"

int exit_status(const RunOutcome& outcome) {
    // Without a port the command only said that it could not run (a bus fault); why the
    // port could not be opened is what counts.
    std::uint8_t faults = outcome.open_failure == PortFailure::none ? outcome.faults : 0;
    const PortFailure port_failures[] = {outcome.open_failure, outcome.close_failure};
    for (const PortFailure failure : port_failures) {
        if (failure == PortFailure::port) {
            faults |= fault_bus;
        } else if (failure == PortFailure::file) {
            faults |= fault_file;
        }
    }
    if (outcome.output_failed) {
        faults |= fault_file;
    }
    const struct {
        bool applies;
        int status;
    } by_precedence[] = {
        {outcome.interrupted, exit_interrupted},
        {(faults & fault_bus) != 0, exit_bus_or_device},
        {(faults & fault_file) != 0, exit_usage_or_file},
        {(faults & fault_mismatch) != 0, exit_chip_differs},
    };
    for (const auto& rule : by_precedence) {
        if (rule.applies) {
            return rule.status;
        }
    }
    return exit_success;
}
