// The command line of velmora-cli:
//   velmora-cli [options] COMMAND [FILE]
// with COMMAND one of id, erase, blank, read FILE, write FILE, verify FILE, program FILE.
#pragma once

struct CliRequest {
    int command_id = 0; // the command table's id
    bool quiet = false;
};

// Exit statuses.
inline constexpr int exit_success = 0;
inline constexpr int exit_chip_differs = 1;
inline constexpr int exit_usage_or_file = 2;
inline constexpr int exit_bus_or_device = 3;
inline constexpr int exit_interrupted = 130;

// Parses the arguments into `request`, cli_session and port_options. Returns -1 when the
// command is to run; otherwise the exit status after --help or --version (0) or a usage
// error (2), whose message went to standard error.
int parse_cli_arguments(int argc, char** argv, CliRequest* request);
