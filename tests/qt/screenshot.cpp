// velmora_screenshot: opens the dialog on the simulated chip, runs Chip ID and Erase as an
// operator would, and saves a picture of the window (scripts/screenshot runs it on a
// virtual display).
#include "cable/port.h"
#include "platform/platform.h"
#include "platform/qt/main_window.h"
#include "sim/sim.h"
#include "ui/dialog_template.h"
#include "ui/main_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <thread>

bool platform_open_port() {
    port_backend = sim_port_backend();
    return true;
}

void platform_sleep_ms(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace {

bool run_and_wait(MainWindow& window, int id, const QString& last_line) {
    auto* button = qobject_cast<QAbstractButton*>(window.control(id));
    const int before = window.console_lines().line_count();
    button->click();
    return QTest::qWaitFor(
        [&] {
            const ConsoleModel& lines = window.console_lines();
            return lines.line_count() > before && lines.line(lines.line_count() - 1) == last_line;
        },
        60000);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: velmora_screenshot PICTURE.png\n", stderr);
        return 2;
    }
    sim_reset();
    MainWindow window;
    if (!main_dialog_initialise(window.handle())) {
        return 1;
    }
    window.move(0, 0);
    window.show();
    const bool ran = QTest::qWaitForWindowExposed(&window) &&
                     run_and_wait(window, id_chip_id, QStringLiteral("Mfg=0xbf Device=0x52")) &&
                     run_and_wait(window, id_erase, QStringLiteral("Blank check completed"));
    QCoreApplication::processEvents(); // the console follows its newest line
    const bool saved = ran && window.grab().save(QString::fromLocal8Bit(argv[1]));
    window.close();
    const bool ended = QTest::qWaitFor([&] { return !window.isVisible(); }, 60000);
    if (!saved || !ended) {
        std::fputs("velmora_screenshot: the picture could not be taken\n", stderr);
        return 1;
    }
    return 0;
}
