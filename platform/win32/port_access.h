// Port access for the real parallel port on Windows: the processor's port instructions
// once UserPort has opened the ports to the process, or the InpOut driver's DLL.
#pragma once

#include "cable/port.h"

// Whether this process may run the port instructions on `address`: one read, with a
// privileged-instruction fault caught and skipped instead of ending the process.
bool port_instructions_permitted(std::uint16_t address);

// The backend on the processor's port instructions.
PortBackend direct_port_backend();

// Loads an InpOut DLL (Inp32, Out32 and, when it has it, IsInpOutDriverOpen) and installs
// its backend. False when the DLL or its functions are missing or its driver is not
// running; `reason` then says which, for the console.
bool open_inpout_port(const char* dll_name, const char** reason);

// The InpOut DLL for this program's word size.
extern const char* const inpout_dll_name;
