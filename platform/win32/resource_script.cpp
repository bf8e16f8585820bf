// Writes the Windows resource script of the main dialog from main_dialog_template: dialog
// 1 twice, language-neutral and Chinese (PRC), with the very same statements, so that
// whichever variant Windows picks the dialog is the same. Built for the build machine and
// run at build time; the resource compiler turns its output into the program's resource.
//
//   velmora_resource_script OUTPUT.rc
#include "ui/dialog_template.h"

#include <cstdio>
#include <string>

namespace {

constexpr std::uint32_t control_base_styles = style::ws_child | style::ws_visible;

// A string literal of the resource script: quotes doubled, backslashes escaped.
std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text != nullptr ? text : ""; *c != '\0'; ++c) {
        if (*c == '"') {
            out += "\"\"";
        } else if (*c == '\\') {
            out += "\\\\";
        } else {
            out += *c;
        }
    }
    return out + "\"";
}

// A number of the resource script; the resource compiler takes a negative one only in
// parentheses.
std::string number(int value) {
    return value < 0 ? "(" + std::to_string(value) + ")" : std::to_string(value);
}

std::string geometry(int x, int y, int width, int height) {
    return number(x) + ", " + number(y) + ", " + number(width) + ", " + number(height);
}

std::string dialog_statements(const DialogTemplate& dialog) {
    char line[512];
    std::string out =
        "1 DIALOG " + geometry(dialog.x, dialog.y, dialog.width, dialog.height) + "\n";
    std::snprintf(line, sizeof line, "STYLE 0x%08X\n", static_cast<unsigned>(dialog.styles));
    out += line;
    out += "CAPTION " + quoted(dialog.caption) + "\n";
    std::snprintf(line, sizeof line, "FONT %d, %s\n", dialog.font_points,
                  quoted(dialog.font_name).c_str());
    out += line;
    out += "BEGIN\n";
    for (int i = 0; i < dialog.control_count; ++i) {
        const DialogControl& control = dialog.controls[i];
        std::snprintf(line, sizeof line, "    CONTROL %s, %d, %s, 0x%08X, ",
                      quoted(control.text).c_str(), control.id,
                      quoted(control_class_name(control.control_class)).c_str(),
                      static_cast<unsigned>(control.styles | control_base_styles));
        out += line;
        out += geometry(control.x, control.y, control.width, control.height) + "\n";
    }
    out += "END\n";
    return out;
}

// LANGUAGE statements: primary and sub-language ids as Windows numbers them.
struct Language {
    const char* name;
    int primary;
    int sub;
};
constexpr Language languages[] = {
    {"language-neutral", 0x00, 0x00}, // LANG_NEUTRAL, SUBLANG_NEUTRAL
    {"Chinese (PRC)", 0x04, 0x02},    // LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.rc\n", argv[0]);
        return 2;
    }
    std::string script = "// Generated at build time from the main dialog's template "
                         "(ui/dialog_template.cpp). Do not edit.\n";
    const std::string dialog = dialog_statements(main_dialog_template);
    for (const Language& language : languages) {
        char line[128];
        std::snprintf(line, sizeof line, "\n// %s\nLANGUAGE %d, %d\n", language.name,
                      language.primary, language.sub);
        script += line + dialog;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(script.data(), 1, script.size(), file) == script.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: write failed\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
