// velmora-sim.exe: the Windows program on the simulated chip, for testing under Wine and
// for demonstration.
//   velmora-sim [--simulate[=IMAGE]] [--sim-fault=F[,F...]]
// IMAGE keeps the chip's contents: loaded at start (created erased when missing) and
// saved at the end when the run changed them.
#include "platform/win32/sim_port.h"
#include "platform/win32/win32_dialog.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    std::string error;
    if (!parse_sim_arguments(argc, argv, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const int result = run_main_dialog();
    if (!save_simulated_chip(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return result;
}
