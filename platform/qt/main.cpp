// velmora: the programmer's dialog on Linux. It takes the port options of velmora-cli
// (--simulate[=IMAGE], --sim-fault, --port, --io, --trace); Qt's own options (-platform,
// -style, ...) are taken by Qt first.
#include "platform/linux/open_port.h"
#include "platform/linux/port_options.h"
#include "platform/qt/dialog_units.h"
#include "platform/qt/main_window.h"
#include "ui/dialog_template.h"
#include "ui/main_dialog.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool wants_help(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

int parse_port_options(int argc, char** argv) {
    CLI::App cli{"Velmora Family Programmer: the operator's dialog", "velmora"};
    add_port_options(cli, port_options);
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return cli.exit(error) == 0 ? 0 : 2;
    }
    return -1;
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

bool release_port() {
    return close_port() == PortFailure::none;
}

} // namespace

int main(int argc, char** argv) {
    // Help needs no display.
    if (wants_help(argc, argv)) {
        const int help_status = parse_port_options(argc, argv);
        return help_status < 0 ? 0 : help_status;
    }
    QApplication application(argc, argv);
    const int parse_status = parse_port_options(argc, argv);
    if (parse_status >= 0) {
        return parse_status;
    }
    MainWindow window;
    window.set_end_step(release_port);
    place(window);
    if (!main_dialog_initialise(window.handle())) {
        // Without its worker the dialog could run nothing: say so rather than end silently.
        std::fputs("velmora: the command worker thread could not be started\n", stderr);
        release_port();
        return 1;
    }
    return window.exec();
}
