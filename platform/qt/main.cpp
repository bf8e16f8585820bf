// velmora: the programmer's dialog on Linux. It takes the port options of velmora-cli
// (--simulate[=IMAGE], --sim-fault, --port, --io, --trace); Qt's own options (-platform,
// -style, ...) go to Qt.
#include "platform/linux/open_port.h"
#include "platform/linux/port_options.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_arguments.h"
#include "platform/qt/stop_signals.h"
#include "ui/dialog_template.h"
#include "ui/main_dialog.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

constexpr int status_usage = 2;
constexpr int status_failed = 1;
constexpr int keep_going = -1;

// keep_going, or the exit status when the program ends here (help shown, bad option).
int parse_port_options(int argc, const char* const* argv) {
    const std::vector<std::string> arguments = without_qt_options(argc, argv);
    std::vector<const char*> pointers;
    pointers.reserve(arguments.size());
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    CLI::App cli{"Velmora Family Programmer: the operator's dialog. Qt's own options "
                 "(-platform, -style, ...) are taken too.",
                 "velmora"};
    add_port_options(cli, port_options);
    try {
        cli.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        return cli.exit(error) == 0 ? 0 : status_usage;
    }
    return keep_going;
}

// The template's position counts from the screen's top-left corner; the window is kept
// wholly on the screen.
void place(MainWindow& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const int x = dialog_x_to_pixels(window.units(), main_dialog_template.x);
    const int y = dialog_y_to_pixels(window.units(), main_dialog_template.y);
    window.move(area.left() + std::max(x, 0), area.top() + std::max(y, 0));
}

// Leaves the port as found and saves the simulated chip; its console lines say what failed.
bool release_port() {
    return close_port() == PortFailure::none;
}

int run(int argc, char** argv) {
    const int parsed = parse_port_options(argc, argv);
    if (parsed != keep_going) {
        return parsed;
    }
    if (!display_available(argc, argv)) {
        std::fputs("velmora: no display to open the dialog on ($DISPLAY and $WAYLAND_DISPLAY "
                   "are unset); velmora-cli runs the same commands without one\n",
                   stderr);
        return status_failed;
    }
    // Ctrl+C and the like end the program as the close button does, saving what it holds.
    watch_stop_signals();
    QApplication application(argc, argv);
    MainWindow window;
    window.set_end_step(release_port);
    close_on_stop_signal(&window);
    place(window);
    if (!main_dialog_initialise(window.handle())) {
        // Without its worker the dialog could run nothing: say so rather than end silently.
        std::fputs("velmora: the command worker thread could not be started\n", stderr);
        release_port();
        return status_failed;
    }
    return window.exec();
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmora: %s\n", error.what());
        return status_failed;
    }
}
