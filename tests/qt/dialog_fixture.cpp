#include "tests/qt/dialog_fixture.h"

#include "cable/port.h"
#include "platform/platform.h"
#include "platform/posix/worker_thread.h"
#include "sim/sim.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"
#include "ui/main_dialog.h"
#include "ui/worker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <thread>

// ---- The program's port and time, for the tests: the simulated chip ---------------------

bool platform_open_port() {
    port_backend = sim_port_backend();
    return true;
}

void platform_sleep_ms(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// ---- Helpers ----------------------------------------------------------------------------

bool wait_for(const std::function<bool()>& condition) {
    // Generous: a whole-image operation on the simulated chip takes well under this.
    constexpr int generous_ms = 120000;
    return QTest::qWaitFor(condition, generous_ms);
}

bool file_is_open(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path wanted = fs::weakly_canonical(path);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error)) {
        std::error_code link_error;
        const fs::path target = fs::read_symlink(entry.path(), link_error);
        if (!link_error && target == wanted) {
            return true;
        }
    }
    return false;
}

namespace {
std::unique_ptr<QTemporaryDir> scratch_dir;
}

void DialogTest::SetUp() {
    sim_reset();
    std::fill(std::begin(save_path), std::end(save_path), '\0');
    std::fill(std::begin(open_path), std::end(open_path), '\0');
    clear_abort();
    scratch_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(scratch_dir->isValid());
    scratch = scratch_dir->path().toStdString();
    window = std::make_unique<MainWindow>();
    ASSERT_TRUE(main_dialog_initialise(window->handle()));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

void DialogTest::TearDown() {
    if (window->isVisible()) {
        close_window();
    }
    EXPECT_TRUE(worker_thread_has_ended());
    window.reset();
    dialog_handle = nullptr;
    scratch_dir.reset();
}

void DialogTest::press(int id) {
    auto* button = qobject_cast<QAbstractButton*>(window->control(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

QStringList DialogTest::console() const {
    QStringList lines;
    const ConsoleModel& model = window->console_lines();
    for (int row = 0; row < model.line_count(); ++row) {
        lines << model.line(row);
    }
    return lines;
}

int DialogTest::count_lines(const QString& line) const {
    return static_cast<int>(console().count(line));
}

void DialogTest::wait_until_idle() {
    const int before = count_lines(chip_id_line);
    press(id_chip_id);
    ASSERT_TRUE(wait_for([&] { return count_lines(chip_id_line) > before; }));
}

void DialogTest::answer_next_file_dialog(const FileDialogAnswer& answer) {
    auto* timer = new QTimer(window.get());
    QObject::connect(timer, &QTimer::timeout, timer, [this, timer, answer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* prompt = qobject_cast<QFileDialog*>(widget);
            if (prompt == nullptr || !prompt->isVisible()) {
                continue;
            }
            timer->stop();
            timer->deleteLater();
            shown_dialogs.push_back({prompt->windowTitle(), prompt->selectedFiles(),
                                     prompt->acceptMode() == QFileDialog::AcceptSave});
            if (answer.accept) {
                prompt->selectFile(answer.path);
                static_cast<QDialog*>(prompt)->accept(); // the dialog's own accept, as OK does
            } else {
                prompt->reject();
            }
            return;
        }
    });
    timer->start(5);
}

void DialogTest::close_window() {
    window->close();
    ASSERT_TRUE(wait_for([&] { return !window->isVisible(); }));
    EXPECT_EQ(window->result(), 0);
}

int main(int argc, char** argv) {
    // The tests need no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
