#include "platform/win32/sim_port.h"

#include "platform/platform.h"
#include "sim/sim.h"
#include "ui/feedback.h"

#include <windows.h>

#include <cstring>

SimOptions sim_options;

namespace {

bool starts_with(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

constexpr char simulate_option[] = "--simulate";
constexpr char simulate_with_image[] = "--simulate=";
constexpr char fault_option[] = "--sim-fault=";

} // namespace

bool parse_sim_arguments(int argc, char** argv, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, simulate_option) == 0) {
            continue;
        }
        if (starts_with(argument, simulate_with_image)) {
            sim_options.image = argument + std::strlen(simulate_with_image);
        } else if (starts_with(argument, fault_option)) {
            sim_options.faults = argument + std::strlen(fault_option);
        } else {
            *error = std::string("unknown argument: ") + argument +
                     "\nusage: velmora-sim [--simulate[=IMAGE]] [--sim-fault=F[,F...]]";
            return false;
        }
    }
    return true;
}

bool platform_open_port() {
    port_backend = no_port_backend();
    sim_reset();
    std::string error;
    if (!sim_parse_faults(sim_options.faults.c_str(), &sim_faults, &error)) {
        console_log(("Simulated chip: " + error).c_str());
        return false;
    }
    if (!sim_options.image.empty()) {
        const bool loaded = sim_load_image(sim_options.image.c_str(), &error);
        if (!error.empty()) {
            console_log(error.c_str());
        }
        if (!loaded) {
            return false;
        }
    }
    port_backend = sim_port_backend();
    // The same wait as after opening UserPort.
    Sleep(100);
    return true;
}

bool save_simulated_chip(std::string* error) {
    if (sim_options.image.empty() || !sim_contents_changed()) {
        return true;
    }
    return sim_save_image(sim_options.image.c_str(), error);
}
