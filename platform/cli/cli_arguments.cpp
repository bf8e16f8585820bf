#include "platform/cli/cli_arguments.h"

#include "platform/cli/cli_session.h"
#include "platform/linux/port_options.h"
#include "ui/dialog_template.h"
#include "ui/worker.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

namespace {

struct CommandName {
    const char* name;
    int id;
    bool takes_file;
};
constexpr CommandName command_names[] = {
    {"id", id_chip_id, false},     {"erase", id_erase, false}, {"blank", id_blank_check, false},
    {"read", id_read, true},       {"write", id_write, true},  {"verify", id_verify, true},
    {"program", id_program, true},
};

const CommandName* find_command(const std::string& name) {
    for (const CommandName& command : command_names) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

int usage_error(const std::string& message) {
    std::fprintf(stderr, "%s\nRun with --help for more information.\n", message.c_str());
    return exit_usage_or_file;
}

// What the parser took in, checked against each other.
int check_command(const std::string& name, const std::string& file, bool file_given,
                  CliRequest* request) {
    const CommandName* command = find_command(name);
    if (command == nullptr) {
        return usage_error("Unknown COMMAND: " + name +
                           " (id, erase, blank, read, write, verify or program)");
    }
    if (command->takes_file && !file_given) {
        return usage_error(name + " needs a FILE");
    }
    if (!command->takes_file && file_given) {
        return usage_error(name + " takes no FILE");
    }
    if (file_given && file.empty()) {
        return usage_error("FILE is empty");
    }
    if (file.size() + 1 > image_path_capacity) {
        return usage_error("FILE is longer than " + std::to_string(image_path_capacity - 1) +
                           " bytes");
    }
    request->command_id = command->id;
    cli_session.file = file;
    return -1;
}

} // namespace

int parse_cli_arguments(int argc, char** argv, CliRequest* request) {
    CLI::App app{"Velmora Family Programmer on the command line: runs one chip operation "
                 "through the parallel-port cable, or on the simulated chip.",
                 "velmora-cli"};
    app.set_version_flag("--version", "velmora-cli 1.0");
    std::string command;
    std::string file;
    app.add_option("COMMAND", command,
                   "id | erase | blank | read FILE | write FILE | verify FILE | program FILE")
        ->required();
    CLI::Option* file_option =
        app.add_option("FILE", file, "The image file of read, write, verify and program");
    add_port_options(app, port_options);
    app.add_option_function<std::string>(
           "--delay",
           [](const std::string& text) {
               if (!parse_delay_text(text.c_str(), &cli_session.delay)) {
                   throw CLI::ValidationError("--delay", "not an unsigned 32-bit number: " + text);
               }
           },
           "The delay constant: busy-wait iterations per bus line change (default 0)")
        ->type_name("N");
    bool from_start = false;
    bool from_end = false;
    CLI::Option* start =
        app.add_flag("--from-start", from_start, "The image is the first 262,144 bytes of FILE");
    CLI::Option* end = app.add_flag("--from-end", from_end,
                                    "The image is the last 262,144 bytes of FILE (the default)");
    start->excludes(end);
    app.add_flag("-q,--quiet", request->quiet, "No progress display");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? exit_success : exit_usage_or_file;
    }
    cli_session.from_start = from_start;
    return check_command(command, file, file_option->count() > 0, request);
}
