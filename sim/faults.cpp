// The chip's fault settings and their command-line form.
#include "sim/sim.h"

#include <charconv>
#include <string_view>

SimFaults sim_faults;

namespace {

constexpr const char* fault_list =
    "absent, wait=N, endless-wait, sync-error=N, stuck-erase, bad-byte=POS, id=MM:DD";

bool parse_number(std::string_view text, int base, std::uint32_t max, std::uint32_t* value) {
    if (text.empty()) {
        return false;
    }
    std::uint32_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
    if (ec != std::errc{} || end != text.data() + text.size() || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

bool parse_hex(std::string_view text, std::uint32_t max, std::uint32_t* value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    return parse_number(text, 16, max, value);
}

// Each fault: its name, whether it takes a value, how the value is applied (false and a
// reason when it is not acceptable).
struct FaultKind {
    std::string_view name;
    bool takes_value;
    bool (*apply)(std::string_view value, SimFaults* faults, const char** reason);
};

bool set_absent(std::string_view, SimFaults* faults, const char**) {
    faults->absent = true;
    return true;
}

bool set_wait(std::string_view value, SimFaults* faults, const char** reason) {
    *reason = "N must be a decimal number from 0 to 1000000";
    return parse_number(value, 10, sim_max_wait_states, &faults->wait_states);
}

bool set_endless_wait(std::string_view, SimFaults* faults, const char**) {
    faults->endless_wait = true;
    return true;
}

bool set_sync_error(std::string_view value, SimFaults* faults, const char** reason) {
    *reason = "N must be a decimal number from 1 to 4294967295";
    std::uint32_t every = 0;
    if (!parse_number(value, 10, 0xFFFFFFFF, &every) || every == 0) {
        return false;
    }
    faults->sync_error_every = every;
    return true;
}

bool set_stuck_erase(std::string_view, SimFaults* faults, const char**) {
    faults->stuck_erase = true;
    return true;
}

bool set_bad_byte(std::string_view value, SimFaults* faults, const char** reason) {
    *reason = "POS must be a hexadecimal image position from 0 to 3ffff";
    std::uint32_t position = 0;
    if (!parse_hex(value, sim_chip_size - 1, &position)) {
        return false;
    }
    faults->bad_bytes.set(position);
    return true;
}

bool set_id(std::string_view value, SimFaults* faults, const char** reason) {
    *reason = "expected two hexadecimal bytes MM:DD, e.g. id=bf:52";
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const std::string_view mm = value.substr(0, colon);
    const std::string_view dd = value.substr(colon + 1);
    std::uint32_t manufacturer = 0;
    std::uint32_t device = 0;
    // Two digits at most each: "0x" prefixes are not part of this form.
    if (mm.size() > 2 || dd.size() > 2 || !parse_number(mm, 16, 0xFF, &manufacturer) ||
        !parse_number(dd, 16, 0xFF, &device)) {
        return false;
    }
    faults->manufacturer = static_cast<std::uint8_t>(manufacturer);
    faults->device = static_cast<std::uint8_t>(device);
    return true;
}

constexpr FaultKind fault_kinds[] = {
    {"absent", false, set_absent},
    {"wait", true, set_wait},
    {"endless-wait", false, set_endless_wait},
    {"sync-error", true, set_sync_error},
    {"stuck-erase", false, set_stuck_erase},
    {"bad-byte", true, set_bad_byte},
    {"id", true, set_id},
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool apply_item(std::string_view item, SimFaults* faults, std::string* error) {
    const std::size_t equals = item.find('=');
    const std::string_view name = item.substr(0, equals);
    const bool has_value = equals != std::string_view::npos;
    const std::string_view value = has_value ? item.substr(equals + 1) : std::string_view{};
    const std::string quoted = "sim fault '" + std::string(item) + "': ";
    for (const FaultKind& kind : fault_kinds) {
        if (kind.name != name) {
            continue;
        }
        if (has_value != kind.takes_value) {
            *error = quoted + (kind.takes_value ? "needs a value" : "takes no value") +
                     " (one of: " + fault_list + ")";
            return false;
        }
        const char* reason = "";
        if (!kind.apply(value, faults, &reason)) {
            *error = quoted + reason;
            return false;
        }
        return true;
    }
    *error = quoted + "unknown fault (one of: " + fault_list + ")";
    return false;
}

} // namespace

bool sim_parse_faults(const char* text, SimFaults* faults, std::string* error) {
    const char* const whole = text != nullptr ? text : "";
    SimFaults parsed;
    std::string_view rest = trimmed(whole);
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = trimmed(rest.substr(0, comma));
        if (item.empty()) {
            *error = "sim faults '" + std::string(whole) + "': empty item between commas";
            return false;
        }
        if (!apply_item(item, &parsed, error)) {
            return false;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
        if (trimmed(rest).empty()) {
            *error = "sim faults '" + std::string(whole) + "': empty item after the last comma";
            return false;
        }
    }
    *faults = parsed;
    error->clear();
    return true;
}
