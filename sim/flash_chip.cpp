// The flash array and its JEDEC-style command state machine: unlock writes 0xAA at 0x5555
// and 0x55 at 0x2AAA (low 16 address bits), then byte program (0xA0), erase set-up (0x80)
// with block (0x50) or sector (0x30) erase, identification entry (0x90); 0xF0 returns to
// reading the array. A write that does not fit the sequence returns the chip to read
// mode and may itself begin a new sequence.
#include "sim/model.h"

#include <algorithm>

namespace sim_model {
std::uint8_t chip_array[sim_chip_size];
bool chip_changed = false;
} // namespace sim_model

using sim_model::chip_array;

namespace {

enum class Step : int {
    ready,
    unlocked,
    unlocked_twice,
    program,
    erase_setup,
    erase_unlocked,
    erase_unlocked_twice,
};

enum class Action : int {
    none,
    read_array,
    identification,
    program,
    block_erase,
    sector_erase,
};

constexpr int any_value = -1;
constexpr int any_address = -1;
constexpr int unlock_address_1 = 0x5555;
constexpr int unlock_address_2 = 0x2AAA;

struct Transition {
    Step step;
    int value;   // the byte written, or any_value
    int address; // the low 16 address bits, or any_address
    Step next;
    Action action;
};
// One row per accepted write; anything else breaks the sequence.

constexpr Transition transitions[] = {
    {Step::ready, 0xAA, unlock_address_1, Step::unlocked, Action::none},
    {Step::ready, 0xF0, any_address, Step::ready, Action::read_array},
    {Step::unlocked, 0x55, unlock_address_2, Step::unlocked_twice, Action::none},
    {Step::unlocked_twice, 0xA0, unlock_address_1, Step::program, Action::none},
    {Step::unlocked_twice, 0x80, unlock_address_1, Step::erase_setup, Action::none},
    {Step::unlocked_twice, 0x90, unlock_address_1, Step::ready, Action::identification},
    {Step::unlocked_twice, 0xF0, unlock_address_1, Step::ready, Action::read_array},
    {Step::program, any_value, any_address, Step::ready, Action::program},
    {Step::erase_setup, 0xAA, unlock_address_1, Step::erase_unlocked, Action::none},
    {Step::erase_unlocked, 0x55, unlock_address_2, Step::erase_unlocked_twice, Action::none},
    {Step::erase_unlocked_twice, 0x50, any_address, Step::ready, Action::block_erase},
    {Step::erase_unlocked_twice, 0x30, any_address, Step::ready, Action::sector_erase},
};

// DQ6 toggles on every read while an erase runs; DQ7 reads 0 (the complement of the
// erased data) and the other bits 0.
constexpr std::uint8_t toggle_bit = 0x40;

Step step = Step::ready;
bool identification_mode = false;

struct Erase {
    bool running;
    std::uint32_t start;
    std::uint32_t length;
    std::uint32_t reads_left;
    std::uint8_t status;
};
Erase erase{};

void finish_erase() {
    std::uint8_t* const first = chip_array + erase.start;
    std::uint8_t* const last = first + erase.length;
    if (std::any_of(first, last, [](std::uint8_t byte) { return byte != 0xFF; })) {
        sim_model::chip_changed = true;
    }
    std::fill(first, last, std::uint8_t{0xFF});
    erase.running = false;
}

void start_erase(std::uint32_t position, std::uint32_t size) {
    erase = Erase{true, position & ~(size - 1), size, sim_erase_reads, 0x00};
    if (erase.reads_left == 0 && !sim_faults.stuck_erase) {
        finish_erase();
    }
}

void program(std::uint32_t position, std::uint8_t value) {
    if (sim_faults.bad_bytes[position]) {
        return;
    }
    // Programming only clears bits; only an erase sets them again.
    const auto stored = static_cast<std::uint8_t>(chip_array[position] & value);
    if (stored != chip_array[position]) {
        chip_array[position] = stored;
        sim_model::chip_changed = true;
    }
}

// Every command but the unlock steps leaves identification mode, except its entry.
void perform(Action action, std::uint32_t position, std::uint8_t value) {
    if (action == Action::none) {
        return;
    }
    identification_mode = action == Action::identification;
    switch (action) {
    case Action::none:
    case Action::read_array:
    case Action::identification:
        break;
    case Action::program:
        program(position, value);
        break;
    case Action::block_erase:
        start_erase(position, sim_block_size);
        break;
    case Action::sector_erase:
        start_erase(position, sim_sector_size);
        break;
    }
}

const Transition* find_transition(std::uint32_t position, std::uint8_t value) {
    const int low_address = static_cast<int>(position & 0xFFFF);
    for (const Transition& t : transitions) {
        if (t.step == step && (t.value == any_value || t.value == value) &&
            (t.address == any_address || t.address == low_address)) {
            return &t;
        }
    }
    return nullptr;
}

} // namespace

void sim_model::chip_write(std::uint32_t position, std::uint8_t value) {
    if (erase.running) {
        return; // busy: the chip takes no command until the erase has ended
    }
    const Transition* t = find_transition(position, value);
    if (t == nullptr) {
        const bool was_ready = step == Step::ready;
        step = Step::ready;
        identification_mode = false;
        if (!was_ready) {
            chip_write(position, value); // it may begin a new sequence
        }
        return;
    }
    step = t->next;
    perform(t->action, position, value);
}

std::uint8_t sim_model::chip_read(std::uint32_t position) {
    if (erase.running) {
        erase.status ^= toggle_bit;
        const std::uint8_t status = erase.status;
        // (reads_left is 0 here only when a stuck erase was let go meanwhile.)
        if (!sim_faults.stuck_erase && (erase.reads_left <= 1 || --erase.reads_left == 0)) {
            finish_erase();
        }
        return status;
    }
    if (identification_mode) {
        return (position & 1) != 0 ? sim_faults.device : sim_faults.manufacturer;
    }
    return chip_array[position];
}

void sim_model::chip_reset() {
    std::fill(std::begin(chip_array), std::end(chip_array), std::uint8_t{0xFF});
    chip_changed = false;
    step = Step::ready;
    identification_mode = false;
    erase = Erase{};
}

// The chip comes erased from the factory.
const bool erased_at_start = (sim_model::chip_reset(), true);

SimChipMode sim_chip_mode() {
    if (erase.running) {
        return SimChipMode::erasing;
    }
    return identification_mode ? SimChipMode::identification : SimChipMode::read_array;
}
