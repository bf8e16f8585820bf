// Port access on Windows: a process without I/O permission survives the probe and says
// what to do; the InpOut DLL is taken when it is there and its driver runs.
#include "cable/port.h"
#include "platform/platform.h"
#include "platform/win32/port_access.h"
#include "tests/win32/dialog_fixture.h"

#include <string>

namespace {

class PortAccess : public RealDialog {
  protected:
    void TearDown() override {
        port_backend = no_port_backend();
        RealDialog::TearDown();
    }
};

TEST_F(PortAccess, WithoutPermissionTheProbeReturnsAndTheOperatorIsToldTheRemedy) {
    if (port_instructions_permitted(base_port)) {
        GTEST_SKIP() << "this machine lets the process run port instructions";
    }
    EXPECT_FALSE(port_instructions_permitted(base_port)) << "a second probe as well";
    EXPECT_FALSE(platform_open_port());
    ASSERT_EQ(console_count(), 1);
    const std::string line = console_line(0);
    EXPECT_EQ(line.rfind("No access to the parallel port at 0x378: ", 0), 0u) << line;
    EXPECT_NE(line.find(inpout_dll_name), std::string::npos) << line;
    EXPECT_NE(line.find("not found"), std::string::npos) << line;
    EXPECT_EQ(port_in(base_port), 0xFF) << "no port: reads float high";
}

class FakeInpOut : public PortAccess {
  protected:
    void SetUp() override {
        PortAccess::SetUp();
        // Held for the whole test, so that its hooks stay valid whatever the backend does.
        dll_ = LoadLibraryA(fake_dll);
        ASSERT_NE(dll_, nullptr);
        set_driver_open_ = reinterpret_cast<void (*)(BOOL)>(
            reinterpret_cast<void*>(GetProcAddress(dll_, "fake_inpout_set_driver_open")));
        accesses_ = reinterpret_cast<int (*)()>(
            reinterpret_cast<void*>(GetProcAddress(dll_, "fake_inpout_accesses")));
        ASSERT_NE(set_driver_open_, nullptr);
        ASSERT_NE(accesses_, nullptr);
        set_driver_open_(TRUE);
    }
    void TearDown() override {
        PortAccess::TearDown();
        if (dll_ != nullptr) {
            FreeLibrary(dll_);
        }
    }

    static constexpr char fake_dll[] = "velmora_fake_inpout.dll";
    HMODULE dll_ = nullptr;
    void (*set_driver_open_)(BOOL) = nullptr;
    int (*accesses_)() = nullptr;
};

TEST_F(FakeInpOut, PortAccessGoesThroughInp32AndOut32) {
    const char* reason = "";
    ASSERT_TRUE(open_inpout_port(fake_dll, &reason)) << reason;
    const int before = accesses_();
    port_out(base_port, 0x5A);
    EXPECT_EQ(port_in(base_port), 0x5A) << "the data register reads back what was written";
    EXPECT_EQ(port_in(base_port + 1), 0x87);
    EXPECT_EQ(accesses_() - before, 3);
}

TEST_F(FakeInpOut, ADriverThatIsNotRunningOrAMissingDllIsRefusedWithItsReason) {
    set_driver_open_(FALSE);
    const char* reason = "";
    EXPECT_FALSE(open_inpout_port(fake_dll, &reason));
    EXPECT_NE(std::string(reason).find("driver is not running"), std::string::npos) << reason;
    EXPECT_FALSE(open_inpout_port("velmora_no_such_inpout.dll", &reason));
    EXPECT_STREQ(reason, "not found");
    EXPECT_EQ(port_in(base_port), 0xFF) << "the backend stayed the no-port one";
}

} // namespace
