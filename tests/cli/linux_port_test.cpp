// Port access on Linux against a fake parallel port behind the system-call seam: the ppdev
// device and direct I/O, their error lines, and the port options of the front ends.
#include "cable/nibble.h"
#include "cable/port.h"
#include "platform/linux/parallel_port.h"
#include "platform/linux/port_options.h"
#include "platform/linux/port_system.h"
#include "platform/test/test_platform.h"
#include "ui/feedback.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <map>
#include <string>
#include <sys/ioctl.h>
#include <vector>

namespace {

using test_platform::console;

// ---- The fake port -------------------------------------------------------------------------

struct Call {
    std::string what; // "open", "close", an ioctl's name, "ioperm", "inb", "outb"
    unsigned value;   // the byte passed or returned, the ioperm's turn_on
    bool operator==(const Call&) const = default;
};

struct FakePort {
    std::vector<Call> calls;
    std::string opened_path;
    int opened_flags = 0;
    int open_errno = 0;                      // open fails with it when not 0
    std::map<std::string, int> ioctl_errnos; // an ioctl that fails, by name
    int ioperm_errno = 0;
    unsigned long ioperm_from = 0;
    unsigned long ioperm_count = 0;
    std::uint8_t data = 0xA5; // what the port holds before the run
    std::uint8_t status = 0x78;
    std::uint8_t control = 0x0C;
    std::map<std::uint16_t, std::uint8_t> io_space; // direct I/O: address -> byte
} fake;

constexpr int fake_fd = 42;

const char* ioctl_name(unsigned long request) {
    static const struct {
        unsigned long request;
        const char* name;
    } names[] = {{PPCLAIM, "PPCLAIM"},      {PPRELEASE, "PPRELEASE"}, {PPRDATA, "PPRDATA"},
                 {PPWDATA, "PPWDATA"},      {PPRSTATUS, "PPRSTATUS"}, {PPRCONTROL, "PPRCONTROL"},
                 {PPWCONTROL, "PPWCONTROL"}};
    for (const auto& entry : names) {
        if (entry.request == request) {
            return entry.name;
        }
    }
    return "unknown";
}

int fake_open(const char* path, int flags) {
    fake.calls.push_back({"open", 0});
    fake.opened_path = path;
    fake.opened_flags = flags;
    if (fake.open_errno != 0) {
        errno = fake.open_errno;
        return -1;
    }
    return fake_fd;
}

int fake_close(int fd) {
    fake.calls.push_back({"close", static_cast<unsigned>(fd)});
    return 0;
}

int fake_ioctl(int fd, unsigned long request, void* argument) {
    const std::string name = ioctl_name(request);
    auto* byte = static_cast<unsigned char*>(argument);
    const auto failure = fake.ioctl_errnos.find(name);
    if (fd != fake_fd || failure != fake.ioctl_errnos.end()) {
        fake.calls.push_back({name, 0});
        errno = fd != fake_fd ? EBADF : failure->second;
        return -1;
    }
    const std::map<std::string, std::uint8_t*> registers = {{"PPRDATA", &fake.data},
                                                            {"PPWDATA", &fake.data},
                                                            {"PPRSTATUS", &fake.status},
                                                            {"PPRCONTROL", &fake.control},
                                                            {"PPWCONTROL", &fake.control}};
    const auto reg = registers.find(name);
    if (reg != registers.end()) {
        if (name[2] == 'W') {
            *reg->second = *byte;
        } else {
            *byte = *reg->second;
        }
        fake.calls.push_back({name, *byte});
    } else {
        fake.calls.push_back({name, 0});
    }
    return 0;
}

int fake_ioperm(unsigned long from, unsigned long count, int turn_on) {
    fake.calls.push_back({"ioperm", static_cast<unsigned>(turn_on)});
    fake.ioperm_from = from;
    fake.ioperm_count = count;
    if (fake.ioperm_errno != 0) {
        errno = fake.ioperm_errno;
        return -1;
    }
    return 0;
}

std::uint8_t fake_inb(std::uint16_t port) {
    const auto found = fake.io_space.find(port);
    const std::uint8_t value = found == fake.io_space.end() ? 0xFF : found->second;
    fake.calls.push_back({"inb@" + std::to_string(port), value});
    return value;
}

void fake_outb(std::uint8_t value, std::uint16_t port) {
    fake.io_space[port] = value;
    fake.calls.push_back({"outb@" + std::to_string(port), value});
}

class LinuxPort : public ::testing::Test {
  protected:
    void SetUp() override {
        test_platform::reset();
        fake = FakePort{};
        port_system =
            PortSystem{fake_open, fake_close, fake_ioctl, fake_ioperm, fake_inb, fake_outb};
    }
    void TearDown() override {
        ppdev_close();
        direct_io_close();
        port_system = real_port_system();
    }

    // Installs the backend under the recording port, as start-up does.
    static void install(PortBackend backend) { test_platform::record_and_forward(backend); }
};

// ---- ppdev -----------------------------------------------------------------------------------

TEST_F(LinuxPort, PpdevClaimsTheDeviceAndKeepsTheDataRegisterAsFound) {
    ASSERT_TRUE(ppdev_open("/dev/parport1"));
    EXPECT_EQ(fake.opened_path, "/dev/parport1");
    EXPECT_EQ(fake.opened_flags & O_ACCMODE, O_RDWR);
    EXPECT_EQ(fake.calls, (std::vector<Call>{{"open", 0}, {"PPCLAIM", 0}, {"PPRDATA", 0xA5}}));
    EXPECT_TRUE(console.empty());
}

TEST_F(LinuxPort, PpdevRegistersMapToTheirIoctlsAndDataReadsGiveTheLastWrite) {
    ASSERT_TRUE(ppdev_open("/dev/parport0"));
    install(ppdev_backend());
    fake.calls.clear();
    EXPECT_EQ(port_in(base_port), 0xA5); // as found, without asking the port
    port_out(base_port, 0x3F);
    fake.data = 0x00; // the data lines read back otherwise: the latch counts
    EXPECT_EQ(port_in(base_port), 0x3F);
    EXPECT_EQ(port_in(base_port + 1), 0x78);
    port_out(base_port + 2, 0x04);
    EXPECT_EQ(port_in(base_port + 2), 0x04);
    EXPECT_EQ(port_in(base_port + 3), 0xFF); // no fourth register
    port_out(base_port + 1, 0x12);           // the status register takes no writes
    EXPECT_EQ(
        fake.calls,
        (std::vector<Call>{
            {"PPWDATA", 0x3F}, {"PPRSTATUS", 0x78}, {"PPWCONTROL", 0x04}, {"PPRCONTROL", 0x04}}));
}

TEST_F(LinuxPort, PpdevCarriesTheCableProbeNibbleByNibble) {
    ASSERT_TRUE(ppdev_open("/dev/parport0"));
    install(ppdev_backend());
    fake.calls.clear();
    fake.status = 0x78; // LAD = 0xF: the second nibble is driven too
    probe_cable();
    // The data register as found (0xA5) keeps bits 4-6 (0x20); release bit cleared.
    EXPECT_EQ(fake.calls, (std::vector<Call>{{"PPWDATA", 0x2F},
                                             {"PPWDATA", 0x2F},
                                             {"PPRSTATUS", 0x78},
                                             {"PPRSTATUS", 0x78},
                                             {"PPRSTATUS", 0x78},
                                             {"PPWDATA", 0x20},
                                             {"PPWDATA", 0x20},
                                             {"PPRSTATUS", 0x78},
                                             {"PPRSTATUS", 0x78},
                                             {"PPRSTATUS", 0x78}}));
}

TEST_F(LinuxPort, PpdevCloseRestoresTheDataRegisterReleasesAndCloses) {
    ASSERT_TRUE(ppdev_open("/dev/parport0"));
    install(ppdev_backend());
    port_out(base_port, 0x70);
    fake.calls.clear();
    EXPECT_TRUE(ppdev_close());
    EXPECT_EQ(fake.calls,
              (std::vector<Call>{{"PPWDATA", 0xA5}, {"PPRELEASE", 0}, {"close", fake_fd}}));
    EXPECT_EQ(fake.data, 0xA5);
    fake.calls.clear();
    EXPECT_TRUE(ppdev_close()); // once only
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(LinuxPort, PpdevOpenFailuresNameTheDeviceTheReasonAndTheRemedy) {
    const struct {
        int open_errno;
        int ioctl_errno;
        const char* failing_ioctl;
        std::string line;
        std::vector<Call> calls;
    } cases[] = {
        {ENOENT,
         0,
         "",
         "Cannot open parallel port /dev/parport0: " + std::string(std::strerror(ENOENT)) +
             " (load the ppdev module (modprobe ppdev), or name the device with --port)",
         {{"open", 0}}},
        {EACCES,
         0,
         "",
         "Cannot open parallel port /dev/parport0: " + std::string(std::strerror(EACCES)) +
             " (join group lp for the ppdev device, or run as root for direct I/O)",
         {{"open", 0}}},
        {0,
         EBUSY,
         "PPCLAIM",
         "Cannot claim parallel port /dev/parport0: " + std::string(std::strerror(EBUSY)) +
             " (another program holds the port: close it)",
         {{"open", 0}, {"PPCLAIM", 0}, {"close", fake_fd}}},
        {0,
         EIO,
         "PPRDATA",
         "Cannot read parallel port /dev/parport0: " + std::string(std::strerror(EIO)) +
             " (check the device (--port) or the address (--io))",
         {{"open", 0}, {"PPCLAIM", 0}, {"PPRDATA", 0}, {"PPRELEASE", 0}, {"close", fake_fd}}},
    };
    for (const auto& c : cases) {
        SetUp();
        fake.open_errno = c.open_errno;
        if (c.ioctl_errno != 0) {
            fake.ioctl_errnos[c.failing_ioctl] = c.ioctl_errno;
        }
        EXPECT_FALSE(ppdev_open("/dev/parport0")) << c.line;
        EXPECT_EQ(console, (std::vector<std::string>{c.line}));
        EXPECT_EQ(fake.calls, c.calls) << c.line;
        fake.calls.clear();
        EXPECT_TRUE(ppdev_close()); // nothing to close
        EXPECT_TRUE(fake.calls.empty());
    }
}

TEST_F(LinuxPort, PpdevAccessFailureIsABusFaultLoggedOnce) {
    ASSERT_TRUE(ppdev_open("/dev/parport0"));
    install(ppdev_backend());
    fake.ioctl_errnos["PPWDATA"] = EIO;
    fake.ioctl_errnos["PPRSTATUS"] = EIO;
    for (int i = 0; i < 5; ++i) {
        port_out(base_port, 0x70);
        port_in(base_port + 1);
    }
    EXPECT_EQ(console,
              (std::vector<std::string>{"Parallel port data write failed on /dev/parport0: " +
                                        std::string(std::strerror(EIO))}));
    EXPECT_EQ(operation_faults, fault_bus);
    // The latch still follows the writes, so the line routines stay consistent.
    EXPECT_EQ(port_in(base_port), 0x70);
}

TEST_F(LinuxPort, PpdevCloseFailuresAreReported) {
    ASSERT_TRUE(ppdev_open("/dev/parport0"));
    fake.ioctl_errnos["PPRELEASE"] = EIO;
    EXPECT_FALSE(ppdev_close());
    EXPECT_EQ(console, (std::vector<std::string>{"Cannot release parallel port /dev/parport0: " +
                                                 std::string(std::strerror(EIO))}));
    EXPECT_EQ(fake.calls.back(), (Call{"close", fake_fd})); // closed all the same
}

// ---- Direct I/O -----------------------------------------------------------------------------

TEST_F(LinuxPort, DirectIoAsksForThreeRegistersAndKeepsTheDataRegisterAsFound) {
    fake.io_space[0x278] = 0x5A;
    ASSERT_TRUE(direct_io_open(0x278));
    EXPECT_EQ(fake.ioperm_from, 0x278u);
    EXPECT_EQ(fake.ioperm_count, 3u);
    install(direct_io_backend());
    fake.calls.clear();
    // The core addresses base_port (0x378); the registers are those at 0x278.
    port_out(base_port, 0x70);
    fake.io_space[0x279] = 0x40;
    EXPECT_EQ(port_in(base_port + 1), 0x40);
    EXPECT_EQ(port_in(base_port), 0x70);
    port_out(base_port + 5, 0x11); // beyond the three registers: nowhere
    EXPECT_EQ(port_in(base_port + 5), 0xFF);
    EXPECT_EQ(fake.calls,
              (std::vector<Call>{{"outb@632", 0x70}, {"inb@633", 0x40}, {"inb@632", 0x70}}));
    fake.calls.clear();
    EXPECT_TRUE(direct_io_close());
    EXPECT_EQ(fake.calls, (std::vector<Call>{{"outb@632", 0x5A}, {"ioperm", 0}}));
}

TEST_F(LinuxPort, DirectIoRefusedSaysWhichPortsWhyAndWhatToDo) {
    const struct {
        int error_number;
        std::uint16_t address;
        std::string line;
    } cases[] = {
        {EPERM, 0x378,
         "No I/O permission for ports 0x378-0x37a: " + std::string(std::strerror(EPERM)) +
             " (direct I/O needs root; members of group lp can use the ppdev device)"},
        {EINVAL, 0xE800,
         "No I/O permission for ports 0xe800-0xe802: " + std::string(std::strerror(EINVAL)) +
             " (direct I/O reaches addresses up to 0x3ff only)"},
    };
    for (const auto& c : cases) {
        SetUp();
        fake.ioperm_errno = c.error_number;
        EXPECT_FALSE(direct_io_open(c.address));
        EXPECT_EQ(console, (std::vector<std::string>{c.line}));
        fake.calls.clear();
        EXPECT_TRUE(direct_io_close()); // nothing was granted: nothing to give back
        EXPECT_TRUE(fake.calls.empty());
    }
}

// ---- The port options ------------------------------------------------------------------------

struct Parsed {
    bool ok;
    PortOptions options;
};

Parsed parse(const std::vector<std::string>& arguments) {
    CLI::App app;
    Parsed parsed{true, {}};
    add_port_options(app, parsed.options);
    std::vector<const char*> argv{"program"};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    try {
        app.parse(static_cast<int>(argv.size()), const_cast<char**>(argv.data()));
    } catch (const CLI::ParseError&) {
        parsed.ok = false;
    }
    return parsed;
}

TEST(PortOptions, DefaultIsThePpdevDeviceOfLpt1) {
    const Parsed parsed = parse({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_FALSE(parsed.options.simulate.has_value());
    EXPECT_FALSE(parsed.options.direct_io);
    EXPECT_EQ(parsed.options.ppdev_device, "/dev/parport0");
    EXPECT_TRUE(parsed.options.trace_path.empty());
}

TEST(PortOptions, SimulateTakesItsImageOnlyAfterAnEqualsSign) {
    Parsed parsed = parse({"--simulate"});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.simulate, std::optional<std::string>(""));
    parsed = parse({"--simulate=chip.bin", "--sim-fault=wait=3,stuck-erase", "--trace=t.txt"});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.simulate, std::optional<std::string>("chip.bin"));
    EXPECT_EQ(parsed.options.sim_faults, "wait=3,stuck-erase");
    EXPECT_EQ(parsed.options.trace_path, "t.txt");
}

TEST(PortOptions, DirectIoAddressAndTheChoicesThatExcludeEachOther) {
    const struct {
        std::vector<std::string> arguments;
        bool ok;
        std::uint16_t address;
    } cases[] = {
        {{"--io=0x278"}, true, 0x278},
        {{"--io=888"}, true, 0x378},
        {{"--io=0xFFFD"}, true, 0xFFFD},
        {{"--io=0xFFFE"}, false, 0},
        {{"--io=0"}, false, 0},
        {{"--io=-1"}, false, 0},
        {{"--io=378h"}, false, 0},
        {{"--io="}, false, 0},
        {{"--simulate", "--io=0x378"}, false, 0},
        {{"--simulate", "--port=/dev/parport1"}, false, 0},
        {{"--port=/dev/parport1", "--io=0x378"}, false, 0},
        {{"--sim-fault=absent"}, false, 0},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.arguments);
        EXPECT_EQ(parsed.ok, c.ok) << c.arguments.front();
        if (c.ok) {
            EXPECT_TRUE(parsed.options.direct_io);
            EXPECT_EQ(parsed.options.io_address, c.address) << c.arguments.front();
        }
    }
}

} // namespace
