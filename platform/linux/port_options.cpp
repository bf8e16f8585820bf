#include "platform/linux/port_options.h"

#include "sim/sim.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdlib>

PortOptions port_options;

namespace {

// The help shows --simulate[=IMAGE] rather than the parser's own spelling of a flag that
// takes an optional value, "--simulate{}".
class PortHelpFormatter : public CLI::Formatter {
  public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        std::string name = CLI::Formatter::make_option_name(option, positional);
        const std::size_t braces = name.find("{}");
        if (braces != std::string::npos) {
            name.erase(braces, 2);
        }
        return name;
    }
};

} // namespace

bool parse_io_address(const std::string& text, std::uint16_t* address) {
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value == 0 || value > 0xFFFD) {
        return false;
    }
    *address = static_cast<std::uint16_t>(value);
    return true;
}

void add_port_options(CLI::App& app, PortOptions& options) {
    CLI::Option* simulate =
        app.add_flag("--simulate{}", options.simulate,
                     "Use the simulated chip; IMAGE (262,144 bytes) keeps its contents between "
                     "runs and is created erased when missing")
            ->option_text("[=IMAGE]");
    CLI::Option* faults = app.add_option_function<std::string>(
                                 "--sim-fault",
                                 [&options](const std::string& text) {
                                     SimFaults parsed;
                                     std::string error;
                                     if (!sim_parse_faults(text.c_str(), &parsed, &error)) {
                                         throw CLI::ValidationError("--sim-fault", error);
                                     }
                                     options.sim_faults = text;
                                 },
                                 "Faults of the simulated chip: absent | wait=N | endless-wait | "
                                 "sync-error=N | stuck-erase | bad-byte=POS | id=MM:DD")
                              ->type_name("F[,F...]");
    CLI::Option* port = app.add_option("--port", options.ppdev_device,
                                       "ppdev device of the parallel port (default " +
                                           std::string(default_ppdev_device) + ")")
                            ->type_name("DEVICE");
    CLI::Option* io =
        app.add_option_function<std::string>(
               "--io",
               [&options](const std::string& text) {
                   if (!parse_io_address(text, &options.io_address)) {
                       throw CLI::ValidationError("--io", "not a port address: " + text);
                   }
                   options.direct_io = true;
               },
               "Direct port I/O at ADDRESS, e.g. 0x378 (root)")
            ->type_name("ADDRESS");
    app.add_option("--trace", options.trace_path,
                   "Write the port-access trace (W/R/S lines) to FILE")
        ->type_name("FILE");
    app.formatter(std::make_shared<PortHelpFormatter>());
    faults->needs(simulate);
    simulate->excludes(port);
    simulate->excludes(io);
    port->excludes(io);
}
