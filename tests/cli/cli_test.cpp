// velmora-cli end to end: the built program runs on the simulated chip, and its standard
// output, files and exit statuses are checked. Interrupts are sent when the program's own
// output shows that it got that far: nothing here waits on the clock.
#include "platform/cli/exit_status.h"
#include "platform/cli/progress_bar.h"
#include "ui/feedback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <poll.h>
#include <random>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t image_bytes = 262144;
constexpr char driver_line[] = "Velmora Family Using Rev.2 driver";
constexpr char aborted_line[] = "-- Operation Aborted --";

// ---- Running the program ---------------------------------------------------------------------

struct CliRun {
    int status; // the exit status, or 128 + the signal that ended it
    std::string out;
    std::string err;
    std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::istringstream stream(out);
        for (std::string line; std::getline(stream, line);) {
            result.push_back(line);
        }
        return result;
    }
};

struct RunOptions {
    bool stderr_is_terminal = false;
    int signal = 0;            // sent once `signal_after` has appeared
    std::string signal_after;  // on standard error when it is a terminal, else on stdout
    std::function<void()> act; // done once `signal_after` has appeared, before the signal
};

// The read end of a pipe, or the master side of a pseudo-terminal for standard error.
struct Stream {
    int fd = -1;
    std::string text;
};

bool drain(Stream& stream) {
    char buffer[4096];
    const ssize_t got = read(stream.fd, buffer, sizeof buffer);
    if (got > 0) {
        stream.text.append(buffer, static_cast<std::size_t>(got));
        return true;
    }
    // End of file, or EIO from a pseudo-terminal whose other side has closed.
    if (got < 0 && errno == EINTR) {
        return true;
    }
    close(stream.fd);
    stream.fd = -1;
    return false;
}

int open_terminal(int* other_side) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        return -1;
    }
    *other_side = open(ptsname(master), O_RDWR | O_NOCTTY);
    return *other_side < 0 ? -1 : master;
}

CliRun run_cli(const std::vector<std::string>& arguments, const RunOptions& options = {}) {
    int out_pipe[2];
    int err_pipe[2];
    EXPECT_EQ(pipe(out_pipe), 0);
    if (options.stderr_is_terminal) {
        err_pipe[0] = open_terminal(&err_pipe[1]);
        EXPECT_GE(err_pipe[0], 0) << "no pseudo-terminal";
    } else {
        EXPECT_EQ(pipe(err_pipe), 0);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
    std::vector<char*> argv{const_cast<char*>(VELMORA_CLI)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, VELMORA_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(err_pipe[1]);
    EXPECT_EQ(spawned, 0);

    Stream out{out_pipe[0], {}};
    Stream err{err_pipe[0], {}};
    bool signalled = options.signal == 0 && !options.act;
    while (out.fd >= 0 || err.fd >= 0) {
        pollfd fds[2] = {{out.fd, POLLIN, 0}, {err.fd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && fds[i].revents != 0) {
                drain(i == 0 ? out : err);
            }
        }
        const std::string& watched = options.stderr_is_terminal ? err.text : out.text;
        if (!signalled && watched.find(options.signal_after) != std::string::npos) {
            if (options.act) {
                options.act();
            }
            if (options.signal != 0) {
                kill(pid, options.signal);
            }
            signalled = true;
        }
    }
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    const int status =
        WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    return CliRun{status, out.text, err.text};
}

// ---- Files -----------------------------------------------------------------------------------

std::vector<char> random_image(unsigned seed, std::size_t size = image_bytes) {
    std::mt19937 generator(seed);
    std::vector<char> bytes(size);
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

std::vector<char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("velmora_cli_") + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        chip_ = path("chip.bin");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::string write_file(const std::string& name, const std::vector<char>& bytes) const {
        std::string p = path(name);
        std::ofstream(p, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

    // The simulated chip of this test, kept in chip_ between runs.
    CliRun cli(std::vector<std::string> arguments, const RunOptions& options = {}) const {
        arguments.insert(arguments.begin(), "--simulate=" + chip_);
        return run_cli(arguments, options);
    }

    fs::path dir_;
    std::string chip_;
};

// ---- Every command ----------------------------------------------------------------------------

TEST_F(Cli, ChipIdIsTheFirstCommandLineAfterTheDriverLine) {
    const CliRun run = cli({"id"});
    EXPECT_EQ(run.status, 0);
    // The missing image is created erased, and says so first.
    ASSERT_EQ(run.lines().size(), 3u) << run.out;
    EXPECT_NE(run.lines()[0].find("created"), std::string::npos);
    EXPECT_EQ(run.lines()[1], driver_line);
    EXPECT_EQ(run.lines()[2], "Mfg=0xbf Device=0x52");
    EXPECT_EQ(fs::file_size(chip_), image_bytes);
    EXPECT_EQ(cli({"id"}).lines(), (std::vector<std::string>{driver_line, "Mfg=0xbf Device=0x52"}));
}

TEST_F(Cli, ProgramReadVerifyBlankAndEraseOnOneChipAcrossRuns) {
    const std::string image = write_file("image.bin", random_image(1));
    cli({"id"});

    CliRun run = cli({"program", image});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.lines(),
              (std::vector<std::string>{driver_line, "Write completed", "Verify completed"}));
    EXPECT_EQ(file_bytes(chip_), file_bytes(image)); // kept for the next run

    run = cli({"verify", image});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines().back(), "Verify completed");

    const std::string dump = path("dump.bin");
    run = cli({"read", dump});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{driver_line}));
    EXPECT_EQ(file_bytes(dump), file_bytes(image));

    run = cli({"blank"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines().back(), "Blank check Aborted");
    EXPECT_EQ(run.lines().size(), 2u + 16u);

    run = cli({"erase"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines(), (std::vector<std::string>{driver_line, "Blank check completed"}));
    EXPECT_EQ(file_bytes(chip_), std::vector<char>(image_bytes, '\xff'));

    run = cli({"verify", image});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lines().back(), "Verify Aborted");
}

TEST_F(Cli, WriteDoesNotEraseAndFromStartOrEndPicksTheWindow) {
    // Two windows: the first all 0x00, the last all 0x0F.
    std::vector<char> bytes(2 * image_bytes, '\x00');
    std::fill(bytes.begin() + image_bytes, bytes.end(), '\x0f');
    const std::string file = write_file("two.bin", bytes);
    EXPECT_EQ(cli({"write", "--from-start", file}).status, 0);
    EXPECT_EQ(file_bytes(chip_), std::vector<char>(image_bytes, '\x00'));
    EXPECT_EQ(cli({"verify", "--from-start", file}).status, 0);
    EXPECT_EQ(cli({"verify", file}).status, 1); // --from-end is the default
    EXPECT_EQ(cli({"verify", "--from-end", file}).status, 1);
    // Write programs over what is there: 0x0F over 0x00 leaves 0x00.
    EXPECT_EQ(cli({"write", "--from-end", "--delay=3", file}).status, 0);
    EXPECT_EQ(file_bytes(chip_), std::vector<char>(image_bytes, '\x00'));
}

TEST_F(Cli, UnchangedChipLeavesItsImageFileAlone) {
    cli({"id"});
    const auto written = fs::last_write_time(chip_);
    fs::last_write_time(chip_, written - std::chrono::hours(1));
    const auto before = fs::last_write_time(chip_);
    EXPECT_EQ(cli({"blank"}).status, 0);
    EXPECT_EQ(cli({"read", path("dump.bin")}).status, 0);
    EXPECT_EQ(fs::last_write_time(chip_), before);
}

// ---- Usage -------------------------------------------------------------------------------------

TEST_F(Cli, UsageErrorsExitWithTwoBeforeTouchingThePort) {
    const std::string long_name(260, 'f');
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"format"},
        {"read"},
        {"program"},
        {"id", "extra.bin"},
        {"blank", "extra.bin"},
        {"verify", ""},
        {"verify", long_name},
        {"id", "--delay=abc"},
        {"id", "--delay=-1"},
        {"id", "--delay=4294967296"},
        {"id", "--delay="},
        {"verify", "x.bin", "--from-start", "--from-end"},
        {"id", "--sim-fault=bogus"},
        {"id", "--sim-fault=wait=x"},
        {"id", "--port=/dev/parport1"},
        {"id", "--no-such-option"},
    };
    for (const auto& arguments : cases) {
        const CliRun run = cli(arguments);
        std::string shown;
        for (const auto& argument : arguments) {
            shown += argument.substr(0, 20) + " ";
        }
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_TRUE(run.out.empty()) << shown << run.out;
        EXPECT_FALSE(run.err.empty()) << shown;
    }
    EXPECT_FALSE(fs::exists(chip_)); // no run got as far as the simulated chip
    EXPECT_EQ(run_cli({"id", "--sim-fault=absent"}).status, 2);
    EXPECT_EQ(run_cli({"id", "--io=0x378", "--port=/dev/parport0"}).status, 2);
}

TEST_F(Cli, HelpAndVersionSucceed) {
    const CliRun help = run_cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--simulate [=IMAGE]"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--from-start"), std::string::npos);
    const CliRun version = run_cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("velmora-cli"), std::string::npos);
}

TEST_F(Cli, DelayTakesAnyThirtyTwoBitValue) {
    EXPECT_EQ(cli({"id", "--delay=0"}).status, 0);
    EXPECT_EQ(cli({"id", "--delay=25"}).status, 0);
    // The largest value is no usage error; on a port that is not there nothing runs with
    // it (a chip operation at that speed would take hours).
    const CliRun run = run_cli({"id", "--delay=4294967295", "--port=" + path("none")});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.lines().back(), "No port access: command not run");
}

TEST_F(Cli, FileOfExactly259BytesIsTakenAndThenCannotBeOpened) {
    const CliRun run = cli({"verify", std::string(259, 'f')});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("Cannot open file for reading"), std::string::npos) << run.out;
}

// ---- Files that cannot be used ------------------------------------------------------------------

TEST_F(Cli, FilesThatCannotBeOpenedReadOrWrittenExitWithTwo) {
    const std::string missing = path("missing.bin");
    const std::string folder = dir_.string();
    const struct {
        std::vector<std::string> arguments;
        const char* line;
    } cases[] = {
        {{"verify", missing}, "Cannot open file for reading"},
        {{"write", missing}, "Cannot open file for reading"},
        {{"program", missing}, "Cannot open file for reading"},
        {{"verify", folder}, "Cannot open file for reading"},
        {{"read", folder}, "Cannot open file for writing"},
        {{"read", path("no/such/folder.bin")}, "Cannot open file for writing"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments[1];
        EXPECT_NE(run.out.find(c.line), std::string::npos) << run.out;
    }
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(Cli, DumpToAFullDiskIsAFileError) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    const CliRun run = cli({"read", "/dev/full"});
    EXPECT_EQ(run.status, 2) << run.out;
}

TEST_F(Cli, SimulatedImageOfAnotherSizeIsAnErrorAndStaysAsItWas) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{100}, image_bytes + 1}) {
        write_file("chip.bin", std::vector<char>(size, '\x11'));
        const CliRun run = cli({"erase"});
        EXPECT_EQ(run.status, 2) << size;
        EXPECT_FALSE(run.out.empty());
        EXPECT_EQ(run.out.find("Blank check"), std::string::npos) << run.out;
        EXPECT_EQ(fs::file_size(chip_), size);
    }
    const CliRun run = run_cli({"--simulate=" + dir_.string(), "id"});
    EXPECT_EQ(run.status, 2);
}

TEST_F(Cli, SimulatedImageThatCannotBeSavedIsAnErrorNotASuccess) {
    cli({"program", write_file("image.bin", random_image(4))});
    RunOptions options;
    options.stderr_is_terminal = true;
    options.signal_after = "%"; // the erase is over and the blank check walks: changed chip
    // The image's folder goes away during the run: the new image cannot be written beside it.
    options.act = [this] { fs::remove_all(dir_); };
    const CliRun run = cli({"erase", "--delay=100"}, options);
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_EQ(run.lines()[run.lines().size() - 2], "Blank check completed") << run.out;
    EXPECT_FALSE(fs::exists(chip_));
}

// ---- The chip's faults -------------------------------------------------------------------------

TEST_F(Cli, ChipFaultsGiveTheirExitStatus) {
    const std::string image = write_file("image.bin", random_image(2));
    const struct {
        std::string fault;
        std::vector<std::string> arguments;
        int status;
        const char* line; // somewhere on standard output
    } cases[] = {
        {"absent", {"id"}, 3, "Expecting Sync"},
        {"sync-error=1000", {"blank"}, 3, "Expecting Sync <0000>, but found 0xa"},
        {"endless-wait", {"id"}, 3, "No ready Sync"},
        {"wait=3", {"program", image}, 0, "Verify completed"},
        {"stuck-erase", {"erase"}, 3, ""},
        {"bad-byte=12345", {"program", image}, 1, "Verify Aborted"},
        {"id=12:3a", {"id"}, 0, "Mfg=0x12 Device=0x3a"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--sim-fault=" + c.fault);
        const CliRun run = run_cli([&] {
            arguments.insert(arguments.begin(), "--simulate");
            return arguments;
        }());
        EXPECT_EQ(run.status, c.status) << c.fault << "\n" << run.out;
        EXPECT_NE(run.out.find(c.line), std::string::npos) << c.fault << "\n" << run.out;
    }
}

// ---- The port ---------------------------------------------------------------------------------

TEST_F(Cli, PortThatCannotBeOpenedRunsNoCommandAndExitsWithThree) {
    const std::string device = path("parport9");
    const CliRun run = run_cli({"--port=" + device, "program", path("image.bin")});
    EXPECT_EQ(run.status, 3);
    const std::vector<std::string> lines = run.lines();
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0].rfind("Cannot open parallel port " + device + ": ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("modprobe ppdev"), std::string::npos);
    EXPECT_EQ(lines[1], driver_line);
    EXPECT_EQ(lines[2], "No port access: command not run");
}

// ---- The port-access trace ----------------------------------------------------------------------

TEST_F(Cli, TraceHasOneLinePerAccessAndSleepStartingWithTheProbe) {
    const std::string trace = path("trace.txt");
    const CliRun run = cli({"id", "--trace=" + trace});
    EXPECT_EQ(run.status, 0);
    std::ifstream in(trace);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_GT(lines.size(), 100u);
    const std::regex access("^[WR] [0-9A-F]+ [0-9A-F]{2}$");
    const std::regex sleep("^S [0-9]+$");
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, access) || std::regex_match(line, sleep)) << line;
    }
    // The probe: the data register read, 0xF driven twice, the 1 ms wait, three samples.
    EXPECT_EQ(lines[0].substr(0, 6), "R 378 ");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 4),
              (std::vector<std::string>{"W 378 0F", "W 378 0F", "S 1"}));
    EXPECT_EQ(lines[4].substr(0, 6), "R 379 ");
}

TEST_F(Cli, TraceThatCannotBeWrittenIsAFileError) {
    // Not opened: no command runs. Full disk: the run is reported as a file error.
    CliRun run = cli({"erase", "--trace=" + path("no/such/trace.txt")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.lines().back(), "No port access: command not run");
    if (fs::exists("/dev/full")) {
        run = cli({"id", "--trace=/dev/full"});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.out.find("Mfg=0xbf Device=0x52"), std::string::npos);
        EXPECT_NE(run.out.find("incomplete"), std::string::npos) << run.out;
    }
}

// ---- Interrupts and progress ------------------------------------------------------------------

TEST_F(Cli, CtrlCStopsTheOperationAfterTheCurrentByteAndExitsWith130) {
    const std::string dump = path("dump.bin");
    for (const int signal : {SIGINT, SIGTERM}) {
        RunOptions options;
        options.stderr_is_terminal = true;
        options.signal = signal;
        options.signal_after = "%"; // the first progress bar drawn: the walk has begun
        // A slow bus, so that the walk is still going when the signal comes.
        const CliRun run = cli({"read", "--delay=2000", dump}, options);
        EXPECT_EQ(run.status, 130) << signal;
        EXPECT_EQ(run.lines().back(), aborted_line) << run.out;
        // The dump file is closed with the bytes read so far.
        EXPECT_LT(fs::file_size(dump), image_bytes);
        EXPECT_GT(fs::file_size(dump), 0u);
    }
}

TEST_F(Cli, CtrlCRightAfterStartUpEndsTheCommandEarly) {
    const std::string image = write_file("image.bin", random_image(3));
    RunOptions options;
    options.signal = SIGINT;
    options.signal_after = driver_line; // start-up is over, the command may not have begun
    const CliRun run = cli({"program", "--delay=2000", image}, options);
    EXPECT_EQ(run.status, 130);
    EXPECT_EQ(run.lines().back(), aborted_line);
    EXPECT_EQ(run.out.find("Write completed"), std::string::npos);
}

TEST_F(Cli, ProgressBarOnATerminalOnlyAndNotWithQuiet) {
    cli({"id"}); // the image exists: no line about creating it
    RunOptions terminal;
    terminal.stderr_is_terminal = true;
    CliRun run = cli({"blank"}, terminal);
    EXPECT_EQ(run.status, 0);
    // The end state is always drawn, and the line is ended.
    EXPECT_NE(run.err.find("100%"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("elapsed"), std::string::npos);
    EXPECT_NE(run.err.find(" left"), std::string::npos);
    EXPECT_EQ(run.out, std::string(driver_line) + "\nBlank check completed\n");

    run = cli({"blank", "-q"}, terminal);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err.find('%'), std::string::npos) << run.err;

    run = cli({"blank"}); // standard error is a pipe
    EXPECT_TRUE(run.err.empty()) << run.err;
}

// ---- The exit status and the bar's text, in the program's own functions ------------------------

TEST(CliExitStatus, PrecedenceInterruptedThenBusThenFileThenMismatch) {
    const std::uint8_t all = fault_bus | fault_file | fault_mismatch;
    const struct {
        RunOutcome outcome;
        int status;
    } cases[] = {
        {{false, PortFailure::none, 0, PortFailure::none, false}, 0},
        {{false, PortFailure::none, fault_mismatch, PortFailure::none, false}, 1},
        {{false, PortFailure::none, fault_file | fault_mismatch, PortFailure::none, false}, 2},
        {{false, PortFailure::none, all, PortFailure::none, false}, 3},
        {{true, PortFailure::none, all, PortFailure::port, true}, 130},
        {{true, PortFailure::none, 0, PortFailure::none, false}, 130},
        {{false, PortFailure::port, 0, PortFailure::none, false}, 3},
        {{false, PortFailure::file, 0, PortFailure::none, false}, 2},
        {{false, PortFailure::file, fault_bus, PortFailure::none, false}, 2},
        {{false, PortFailure::port, fault_bus, PortFailure::none, false}, 3},
        {{false, PortFailure::none, fault_mismatch, PortFailure::file, false}, 2},
        {{false, PortFailure::none, fault_file, PortFailure::port, false}, 3},
        {{false, PortFailure::none, fault_mismatch, PortFailure::none, true}, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exit_status(c.outcome), c.status)
            << c.outcome.interrupted << ' ' << int(c.outcome.faults);
    }
}

TEST(CliProgressBar, ShowsPercentElapsedAndTimeLeft) {
    EXPECT_EQ(progress_bar_text(0, 64, 0),
              "[..............................]   0%  00:00 elapsed  --:-- left");
    EXPECT_EQ(progress_bar_text(32, 64, 10'000),
              "[###############...............]  50%  00:10 elapsed  00:10 left");
    EXPECT_EQ(progress_bar_text(64, 64, 75'500),
              "[##############################] 100%  01:15 elapsed  00:00 left");
    // Past the end, or with no steps, it never overflows its bar.
    EXPECT_EQ(progress_bar_text(70, 64, 1'000).substr(0, 37),
              "[##############################] 100%");
    EXPECT_EQ(progress_bar_text(5, 0, 1'000).substr(0, 37),
              "[..............................]   0%");
}

} // namespace
