#include "platform/win32/port_access.h"

#include "platform/platform.h"
#include "ui/feedback.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace {

// "\\.\UserPort": UserPort's device. Opening it makes the driver give this process the
// right to run the port instructions on the parallel ports.
constexpr char user_port_device[] = "\\\\.\\UserPort";

constexpr unsigned char in_al_dx = 0xEC;
constexpr unsigned char out_dx_al = 0xEE;

std::atomic<bool> probing{false};
std::atomic<bool> probe_faulted{false};

std::uint8_t direct_read(std::uint16_t address) {
    std::uint8_t value;
    asm volatile("inb %w1, %b0" : "=a"(value) : "d"(address));
    return value;
}

void direct_write(std::uint16_t address, std::uint8_t value) {
    asm volatile("outb %b0, %w1" : : "a"(value), "d"(address));
}

// Both port instructions are one byte long: skipping one means going on after it.
#if defined(__x86_64__)
void skip_port_instruction(CONTEXT* context) {
    context->Rip += 1;
}
#else
void skip_port_instruction(CONTEXT* context) {
    context->Eip += 1;
}
#endif

// During the probe, a port instruction that this process may not run faults (a
// privileged instruction on Windows; Wine may call it an access violation). The handler
// notes it and lets the probe go on after the instruction.
LONG CALLBACK skip_faulting_port_instruction(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    const auto* at =
        static_cast<const unsigned char*>(exception->ExceptionRecord->ExceptionAddress);
    if (!probing || (code != EXCEPTION_PRIV_INSTRUCTION && code != EXCEPTION_ACCESS_VIOLATION) ||
        at == nullptr || (*at != in_al_dx && *at != out_dx_al)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    probe_faulted = true;
    skip_port_instruction(exception->ContextRecord);
    return EXCEPTION_CONTINUE_EXECUTION;
}

// ---- InpOut --------------------------------------------------------------------------

using Inp32 = short(WINAPI*)(short address);
using Out32 = void(WINAPI*)(short address, short value);
using IsInpOutDriverOpen = BOOL(WINAPI*)();
Inp32 inpout_read_function = nullptr;
Out32 inpout_write_function = nullptr;

std::uint8_t inpout_read(std::uint16_t address) {
    return static_cast<std::uint8_t>(inpout_read_function(static_cast<short>(address)));
}

void inpout_write(std::uint16_t address, std::uint8_t value) {
    inpout_write_function(static_cast<short>(address), static_cast<short>(value));
}

template <typename Function> Function function_of(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

void open_user_port() {
    const HANDLE device = CreateFileA(user_port_device, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device != INVALID_HANDLE_VALUE) {
        CloseHandle(device);
    }
    Sleep(100);
}

} // namespace

const char* const inpout_dll_name = sizeof(void*) == 8 ? "inpoutx64.dll" : "inpout32.dll";

namespace {
// UserPort serves 32-bit Windows only; a 64-bit program has InpOut alone.
const char* const port_remedy =
    sizeof(void*) == 8 ? "put InpOut's inpoutx64.dll beside the program"
                       : "install and start UserPort, or put InpOut's inpout32.dll beside the "
                         "program";
} // namespace

bool port_instructions_permitted(std::uint16_t address) {
    const PVOID handler = AddVectoredExceptionHandler(1, skip_faulting_port_instruction);
    if (handler == nullptr) {
        return false;
    }
    probe_faulted = false;
    probing = true;
    direct_read(address);
    probing = false;
    RemoveVectoredExceptionHandler(handler);
    return !probe_faulted;
}

PortBackend direct_port_backend() {
    return PortBackend{direct_read, direct_write};
}

bool open_inpout_port(const char* dll_name, const char** reason) {
    // Not from the current directory: only beside the program or from the system.
    SetDllDirectoryA("");
    const HMODULE dll = LoadLibraryA(dll_name);
    if (dll == nullptr) {
        *reason = "not found";
        return false;
    }
    const auto read = function_of<Inp32>(dll, "Inp32");
    const auto write = function_of<Out32>(dll, "Out32");
    const auto driver_open = function_of<IsInpOutDriverOpen>(dll, "IsInpOutDriverOpen");
    if (read == nullptr || write == nullptr) {
        FreeLibrary(dll);
        *reason = "has no Inp32 and Out32";
        return false;
    }
    if (driver_open != nullptr && !driver_open()) {
        FreeLibrary(dll);
        *reason = "is there but its driver is not running (run the program once as administrator)";
        return false;
    }
    inpout_read_function = read;
    inpout_write_function = write;
    port_backend = PortBackend{inpout_read, inpout_write};
    return true;
}

bool platform_open_port() {
    port_backend = no_port_backend();
    open_user_port();
    if (port_instructions_permitted(base_port)) {
        port_backend = direct_port_backend();
        return true;
    }
    const char* reason = "";
    if (open_inpout_port(inpout_dll_name, &reason)) {
        return true;
    }
    char line[256];
    std::snprintf(line, sizeof line, "No access to the parallel port at 0x%x: %s (%s: %s)",
                  static_cast<unsigned>(base_port), port_remedy, inpout_dll_name, reason);
    console_log(line);
    return false;
}
