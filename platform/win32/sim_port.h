// velmora-sim.exe: the programmer on the simulated cable and chip instead of the port.
#pragma once

#include <string>

struct SimOptions {
    std::string image;  // the file that keeps the chip's contents between runs; "": none
    std::string faults; // the chip's faults, "F[,F...]" as the simulated chip reads them
};
extern SimOptions sim_options;

// Reads --simulate[=IMAGE] and --sim-fault=F[,F...]. False, with `error` set, for any
// other argument.
bool parse_sim_arguments(int argc, char** argv, std::string* error);

// Saves the chip's contents to the image file when a run changed them; false, with
// `error` set, when the file could not be written.
bool save_simulated_chip(std::string* error);
