// The simulated programming cable and LPC flash chip, behind the port backend.
//
// The model is written from the hardware's point of view: a cable that latches the data
// register and shows the LAD lines on the status register, a registered LPC memory target
// that samples and drives LAD at the rising edges of LCLK, and a JEDEC-style 256 KB flash
// array behind it. It is process-wide state driven through sim_port_backend(), fast and
// deterministic: nothing depends on time, only on the sequence of port accesses.
//
// Port registers (base_port + 0, + 1, + 2):
//  - data register: latches what is written and reads back the last value written. Bits
//    0-3 drive LAD while the release bit (7) is 0; with it set the cable lets go and the
//    chip, or the pull-ups (LAD 0xF), set the lines. Bit 5 is LFRAME# (active low), bit 6
//    LCLK. A low pulse of LFRAME# while LCLK is low is held by the cable until the next
//    rising edge of LCLK, so that the chip sees the frame on the START clock.
//  - status register: LAD[0..3] on bits 3-6. Bits 0-2 read 1 (the reserved bits of a
//    standard port, and nIRQ inactive), bit 7 reads 0 (pin 11, BUSY, is not wired by the
//    cable; it floats high and the port inverts it). All lines high therefore read 0x7F.
//  - control register: latches what is written; nothing of the cable is on it.
//  Any other address reads 0xFF and ignores writes.
#pragma once

#include "cable/port.h"

#include <bitset>
#include <cstdint>
#include <string>

// The chip: 256 KB at the top of the 4 GB memory space, 16 blocks of 16 KB, 64 sectors
// of 4 KB. Image position k is bus address sim_chip_base + k.
inline constexpr std::uint32_t sim_chip_size = 0x40000;
inline constexpr std::uint32_t sim_chip_base = 0xFFFC0000;
inline constexpr std::uint32_t sim_block_size = 0x4000;
inline constexpr std::uint32_t sim_sector_size = 0x1000;

// The identification of an SST49LF020A: a 256 KB LPC flash with 16 KB blocks (0x50) and
// 4 KB sectors (0x30), manufacturer SST (0xBF), device 0x52.
inline constexpr std::uint8_t sim_default_manufacturer = 0xBF;
inline constexpr std::uint8_t sim_default_device = 0x52;

// Reads during which an erase toggles bit 6 before the erased block reads 0xFF.
inline constexpr std::uint32_t sim_default_erase_reads = 4;

// Upper bound of wait=N: far beyond any engine's SYNC wait limit, and still a number
// that a typing slip does not turn into billions.
inline constexpr std::uint32_t sim_max_wait_states = 1000000;

// The faults the chip can show; the defaults are a healthy chip. Changes take effect at
// the next cycle.
//
// How the healthy chip behaves: a write is taken at the SYNC clock that ends its wait; a
// program is done at once; an erase makes reads toggle bit 6 (0x40, 0x00, ...) for
// sim_erase_reads reads, takes no command meanwhile, and leaves its block or sector
// 0xFF; in identification mode address bit 0 selects the code (even: manufacturer, odd:
// device). There is no chip erase (0x10): the SST49LF020A has none in LPC mode.
struct SimFaults {
    bool absent = false;                  // nothing answers: LAD floats high
    std::uint32_t wait_states = 0;        // SYNC 0x6 this many times per cycle, then 0x0
    bool endless_wait = false;            // SYNC 0x6 for ever
    std::uint32_t sync_error_every = 0;   // every Nth claimed cycle since sim_reset answers
                                          // SYNC 0xA (the cycle goes on as if ready); 0 never
    bool stuck_erase = false;             // an erase toggles for ever
    std::bitset<sim_chip_size> bad_bytes; // image positions that cannot be programmed
    std::uint8_t manufacturer = sim_default_manufacturer;
    std::uint8_t device = sim_default_device;
};

// The chip's current faults. The tests set fields directly; the front ends fill it with
// sim_parse_faults.
extern SimFaults sim_faults;

// Toggling reads per erase (sim_default_erase_reads after sim_reset).
extern std::uint32_t sim_erase_reads;

// What the chip has seen since the last sim_reset.
struct SimCounters {
    std::uint64_t cycles;       // memory cycles claimed (address in the chip's window)
    std::uint64_t reads;        // of which reads
    std::uint64_t writes;       // of which writes
    std::uint64_t wait_states;  // SYNC 0x6 clocks given
    std::uint64_t sync_errors;  // SYNC 0xA given
    std::uint64_t aborted;      // cycles cut short by a new frame
    std::uint64_t unclaimed;    // cycles left alone: other address or cycle type
    std::uint64_t contention;   // rising edges at which chip and host both drove LAD
    std::uint64_t rising_edges; // of LCLK
};
extern SimCounters sim_counters;

// The backend that puts the cable and chip behind port_in and port_out.
PortBackend sim_port_backend();

// Erased chip (all 0xFF), read mode, no faults, default erase time, counters cleared; the
// cable's latches at 0 (the host drives LAD 0x0, clock and frame low), the chip silent.
void sim_reset();

// Direct access to the array, for tests; positions are taken modulo sim_chip_size.
std::uint8_t sim_peek(std::uint32_t position);
void sim_poke(std::uint32_t position, std::uint8_t value);

// What the JEDEC state machine is doing.
enum class SimChipMode { read_array, identification, erasing };
SimChipMode sim_chip_mode();

// True when a program or erase changed the array since the last load, save or reset.
bool sim_contents_changed();

// Parses the command-line form of the faults: a comma-separated list of
//   absent | wait=N | endless-wait | sync-error=N | stuck-erase | bad-byte=POS | id=MM:DD
// N decimal (wait 0 to sim_max_wait_states, sync-error at least 1), POS a hexadecimal
// image position below 0x40000 (0x prefix optional; bad-byte may be given several
// times), MM and DD hexadecimal bytes. An empty text means no faults. On success *faults
// holds exactly what the text names (defaults elsewhere); on failure *faults is left
// unchanged and *error says which item is wrong and why.
bool sim_parse_faults(const char* text, SimFaults* faults, std::string* error);

// Loads the chip's contents from a raw image of exactly sim_chip_size bytes. A missing
// file is created erased (the chip starts erased) and true is returned with *error set
// to a line that says so, for the operator; otherwise *error is emptied on success. A
// file of another size, a directory or other special file, and a file that cannot be
// read are errors: false, the chip's contents unchanged, *error says why.
bool sim_load_image(const char* path, std::string* error);

// Saves the contents atomically: a new file beside `path` is written, flushed and closed
// with every step checked, then renamed over `path`. On any failure the new file is
// removed, `path` is left as it was, and *error says why.
bool sim_save_image(const char* path, std::string* error);
