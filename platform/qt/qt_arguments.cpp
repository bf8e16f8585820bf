#include "platform/qt/qt_arguments.h"

#include <cstdlib>
#include <cstring>

namespace {

// Qt's options as QGuiApplication and QApplication take them, with whether a value
// follows as the next argument.
struct QtOption {
    const char* name; // without leading dashes
    bool takes_value;
};
constexpr QtOption qt_options[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"reverse", false},
    {"session", true},         {"style", true},
    {"stylesheet", true},      {"widgetcount", false},
    {"display", true},         {"geometry", true},
    {"title", true},           {"name", true},
    {"visual", true},          {"ncols", true},
    {"cmap", false},           {"nograb", false},
    {"dograb", false},         {"sync", false},
};

// The Qt option that `argument` names, "-name", "--name" or "-name=value"; nullptr for
// any other argument. *inline_value tells whether the value came with "=".
const QtOption* qt_option_of(const char* argument, bool* inline_value) {
    if (argument[0] != '-') {
        return nullptr;
    }
    const char* name = argument + (argument[1] == '-' ? 2 : 1);
    const char* equals = std::strchr(name, '=');
    const std::size_t length =
        equals != nullptr ? static_cast<std::size_t>(equals - name) : std::strlen(name);
    for (const QtOption& option : qt_options) {
        if (std::strlen(option.name) == length && std::strncmp(option.name, name, length) == 0) {
            *inline_value = equals != nullptr;
            return &option;
        }
    }
    return nullptr;
}

bool is_set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

} // namespace

std::vector<std::string> without_qt_options(int argc, const char* const* argv) {
    std::vector<std::string> kept;
    for (int i = 0; i < argc; ++i) {
        bool inline_value = false;
        const QtOption* option = i > 0 ? qt_option_of(argv[i], &inline_value) : nullptr;
        if (option == nullptr) {
            kept.emplace_back(argv[i]);
        } else if (option->takes_value && !inline_value) {
            ++i; // its value
        }
    }
    return kept;
}

bool display_available(int argc, const char* const* argv) {
    if (is_set("DISPLAY") || is_set("WAYLAND_DISPLAY") || is_set("QT_QPA_PLATFORM")) {
        return true;
    }
    for (int i = 1; i < argc; ++i) {
        bool inline_value = false;
        const QtOption* option = qt_option_of(argv[i], &inline_value);
        if (option != nullptr && std::strcmp(option->name, "platform") == 0) {
            return true;
        }
    }
    return false;
}
