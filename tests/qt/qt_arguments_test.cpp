// velmora's command line: Qt's own options are set aside before the port options are
// parsed, so that neither parser sees the other's.
#include "platform/qt/qt_arguments.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> kept(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "velmora");
    std::vector<std::string> result =
        without_qt_options(static_cast<int>(arguments.size()), arguments.data());
    EXPECT_EQ(result.front(), "velmora");
    result.erase(result.begin());
    return result;
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            had_ = true;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

} // namespace

TEST(QtArguments, QtOptionsAndTheirValuesAreSetAside) {
    struct Case {
        std::vector<const char*> arguments;
        std::vector<std::string> port_arguments;
    };
    const Case cases[] = {
        {{"--simulate=chip.bin"}, {"--simulate=chip.bin"}},
        {{"-platform", "offscreen", "--simulate"}, {"--simulate"}},
        {{"--style", "windows", "--port", "/dev/parport1"}, {"--port", "/dev/parport1"}},
        {{"-style=fusion", "--trace", "t.txt"}, {"--trace", "t.txt"}},
        {{"-reverse", "--io", "0x278"}, {"--io", "0x278"}},
        {{"--simulate", "-platform"}, {"--simulate"}},      // a value missing at the end
        {{"--bogus", "-stylish"}, {"--bogus", "-stylish"}}, // left for the parser to refuse
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kept(c.arguments), c.port_arguments) << c.arguments.size();
    }
}

TEST(QtArguments, ADisplayIsThereWhenQtHasAPlatformToUse) {
    const char* program[] = {"velmora"};
    const char* with_platform[] = {"velmora", "-platform", "offscreen"};
    {
        const ScopedVariable display("DISPLAY", nullptr);
        const ScopedVariable wayland("WAYLAND_DISPLAY", nullptr);
        const ScopedVariable platform("QT_QPA_PLATFORM", nullptr);
        EXPECT_FALSE(display_available(1, program));
        EXPECT_TRUE(display_available(3, with_platform));
        const ScopedVariable x11("DISPLAY", ":0");
        EXPECT_TRUE(display_available(1, program));
    }
    {
        const ScopedVariable display("DISPLAY", "");
        const ScopedVariable wayland("WAYLAND_DISPLAY", "wayland-0");
        EXPECT_TRUE(display_available(1, program));
    }
}
