// The velmora program end to end: its command line, a missing display, and the end of a
// run by a stop signal, which saves the simulated chip like the close button does.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

namespace {

// Starts velmora with `arguments` and the environment `environment` (none inherited).
pid_t start_velmora(const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment) {
    std::vector<std::string> argv_strings = {VELMORA_QT_PROGRAM};
    argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(argv_strings.size() + 1);
    for (std::string& argument : argv_strings) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env_strings = environment;
    std::vector<char*> envp;
    envp.reserve(env_strings.size() + 1);
    for (std::string& variable : env_strings) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The program's own messages (help, refusals) are not the test's output.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? pid : -1;
}

// The exit status, or -signal when a signal ended the program.
int wait_for_exit(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        return -1000;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

const std::vector<std::string> no_display = {"PATH=/usr/bin:/bin"};
const std::vector<std::string> offscreen = {"PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen"};

} // namespace

TEST(VelmoraProgram, AnswersItsCommandLineWithoutADisplay) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
    };
    const Case cases[] = {
        {{"--help"}, 0},
        {{"--io=zz"}, 2},                               // not a port address
        {{"--bogus"}, 2},                               // no such option
        {{"--simulate", "--port", "/dev/parport1"}, 2}, // one port at a time
        {{"--simulate"}, 1},                            // valid, but nowhere to show the dialog
    };
    for (const Case& c : cases) {
        const pid_t pid = start_velmora(c.arguments, no_display);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(wait_for_exit(pid), c.status) << c.arguments.front();
    }
}

TEST(VelmoraProgram, AStopSignalEndsTheRunLikeTheCloseButton) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string image = folder.path().toStdString() + "/chip.bin";
    const pid_t pid = start_velmora({"--simulate=" + image}, offscreen);
    ASSERT_GT(pid, 0);
    // The simulated chip's image is created erased as the dialog starts.
    bool started = false;
    for (int round = 0; round < 6000 && !started; ++round) {
        started = std::filesystem::exists(image);
        if (!started) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ASSERT_TRUE(started);
    kill(pid, SIGTERM);
    EXPECT_EQ(wait_for_exit(pid), 0);
    EXPECT_EQ(std::filesystem::file_size(image), 262144u);
}
