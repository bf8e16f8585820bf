// The command-line form of the simulated chip's faults.
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a parse gave, in a form that compares in one line.
std::string describe(const SimFaults& f) {
    std::string text;
    text += f.absent ? "absent " : "";
    text += "wait=" + std::to_string(f.wait_states) + " ";
    text += f.endless_wait ? "endless " : "";
    text += "every=" + std::to_string(f.sync_error_every) + " ";
    text += f.stuck_erase ? "stuck " : "";
    for (std::size_t k = 0; k < f.bad_bytes.size(); ++k) {
        if (f.bad_bytes[k]) {
            text += "bad=" + std::to_string(k) + " ";
        }
    }
    text += "id=" + std::to_string(f.manufacturer) + ":" + std::to_string(f.device);
    return text;
}

TEST(SimFaultsParse, AcceptsEveryFormAndCombinations) {
    const struct {
        const char* text;
        const char* parsed;
    } cases[] = {
        {"", "wait=0 every=0 id=191:82"},
        {"  ", "wait=0 every=0 id=191:82"},
        {"absent", "absent wait=0 every=0 id=191:82"},
        {"wait=3", "wait=3 every=0 id=191:82"},
        {"wait=0", "wait=0 every=0 id=191:82"},
        {"wait=1000000", "wait=1000000 every=0 id=191:82"},
        {"endless-wait", "wait=0 endless every=0 id=191:82"},
        {"sync-error=1", "wait=0 every=1 id=191:82"},
        {"sync-error=100", "wait=0 every=100 id=191:82"},
        {"stuck-erase", "wait=0 every=0 stuck id=191:82"},
        {"bad-byte=3ffff", "wait=0 every=0 bad=262143 id=191:82"},
        {"bad-byte=0x10,bad-byte=0X2A,bad-byte=0", "wait=0 every=0 bad=0 bad=16 bad=42 id=191:82"},
        {"id=ab:c", "wait=0 every=0 id=171:12"},
        {"id=00:FF", "wait=0 every=0 id=0:255"},
        {"wait=2, sync-error=5 ,stuck-erase", "wait=2 every=5 stuck id=191:82"},
        {"id=01:02,id=03:04", "wait=0 every=0 id=3:4"},
    };
    for (const auto& c : cases) {
        SimFaults faults;
        faults.absent = true; // replaced, not merged
        std::string error = "stale";
        EXPECT_TRUE(sim_parse_faults(c.text, &faults, &error)) << c.text << ": " << error;
        EXPECT_EQ(describe(faults), c.parsed) << c.text;
        EXPECT_EQ(error, "") << c.text;
    }
}

TEST(SimFaultsParse, RefusesBadItemsAndChangesNothing) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"absnet", "unknown fault"},
        {"wait", "needs a value"},
        {"wait=", "from 0 to 1000000"},
        {"wait=-1", "from 0 to 1000000"},
        {"wait=+1", "from 0 to 1000000"},
        {"wait=1000001", "from 0 to 1000000"},
        {"wait=99999999999999999999", "from 0 to 1000000"},
        {"wait=3x", "from 0 to 1000000"},
        {"wait=0x3", "from 0 to 1000000"},
        {"absent=1", "takes no value"},
        {"sync-error=0", "from 1 to"},
        {"sync-error=4294967296", "from 1 to"},
        {"bad-byte=40000", "from 0 to 3ffff"},
        {"bad-byte=0x", "from 0 to 3ffff"},
        {"bad-byte=g", "from 0 to 3ffff"},
        {"id=bf", "MM:DD"},
        {"id=bf:", "MM:DD"},
        {"id=100:52", "MM:DD"},
        {"id=0xbf:52", "MM:DD"},
        {"id=bf:52:1", "MM:DD"},
        {"absent,,wait=1", "empty item"},
        {",absent", "empty item"},
        {"absent,", "empty item"},
        {"WAIT=1", "unknown fault"},
    };
    for (const auto& c : cases) {
        SimFaults faults;
        faults.wait_states = 7;
        faults.bad_bytes.set(9);
        std::string error;
        EXPECT_FALSE(sim_parse_faults(c.text, &faults, &error)) << c.text;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.text << " -> " << error;
        EXPECT_EQ(describe(faults), "wait=7 every=0 bad=9 id=191:82") << c.text;
    }
}

TEST(SimFaultsParse, NamesTheFaultyItem) {
    SimFaults faults;
    std::string error;
    EXPECT_FALSE(sim_parse_faults("absent,wait=x,stuck-erase", &faults, &error));
    EXPECT_EQ(error, "sim fault 'wait=x': N must be a decimal number from 0 to 1000000");
    EXPECT_FALSE(sim_parse_faults("bogus", &faults, &error));
    EXPECT_EQ(error, "sim fault 'bogus': unknown fault (one of: absent, wait=N, endless-wait, "
                     "sync-error=N, stuck-erase, bad-byte=POS, id=MM:DD)");
}

} // namespace
