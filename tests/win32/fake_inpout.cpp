// A stand-in for InpOut's DLL: Inp32, Out32 and IsInpOutDriverOpen over a latched data
// register and a fixed status register, with hooks for the tests.
#include <windows.h>

namespace {
short data_register = 0;
int accesses = 0;
BOOL driver_open = TRUE;
} // namespace

extern "C" {

__declspec(dllexport) short WINAPI Inp32(short address) {
    ++accesses;
    return address == 0x378 ? data_register : static_cast<short>(0x87);
}

__declspec(dllexport) void WINAPI Out32(short address, short value) {
    ++accesses;
    if (address == 0x378) {
        data_register = value;
    }
}

__declspec(dllexport) BOOL WINAPI IsInpOutDriverOpen() {
    return driver_open;
}

__declspec(dllexport) void fake_inpout_set_driver_open(BOOL open) {
    driver_open = open;
}

__declspec(dllexport) int fake_inpout_accesses() {
    return accesses;
}
}
