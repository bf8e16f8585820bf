// The Qt dialog: its controls against the template, its start-up, the routing of its
// buttons to the worker, Abort, Escape, the file dialogs and closing during a command.
#include "tests/qt/dialog_fixture.h"

#include "platform/posix/worker_thread.h"
#include "sim/sim.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"
#include "ui/worker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// The Qt class that stands for each template class (and button style).
const char* expected_qt_class(const DialogControl& control) {
    switch (control.control_class) {
    case ControlClass::button:
        if ((control.styles & 0xF) == style::bs_groupbox) {
            return "QGroupBox";
        }
        if ((control.styles & 0xF) == style::bs_autoradiobutton) {
            return "QRadioButton";
        }
        return "QPushButton";
    case ControlClass::statik:
        return "QLabel";
    case ControlClass::combobox:
        return "QComboBox";
    case ControlClass::edit:
        return "QLineEdit";
    case ControlClass::listbox:
        return "QListView";
    case ControlClass::progress:
        return "QProgressBar";
    }
    return "";
}

QString shown_text(QWidget* widget) {
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        return box->title();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    return QString();
}

std::vector<unsigned char> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::vector<unsigned char> chip_contents() {
    std::vector<unsigned char> bytes(sim_chip_size);
    for (std::uint32_t k = 0; k < sim_chip_size; ++k) {
        bytes[k] = sim_peek(k);
    }
    return bytes;
}

void write_file(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> test_pattern() {
    std::vector<unsigned char> bytes(sim_chip_size);
    for (std::uint32_t k = 0; k < sim_chip_size; ++k) {
        bytes[k] = static_cast<unsigned char>((k * 7 + (k >> 8)) & 0xFF);
    }
    return bytes;
}

} // namespace

// ---- The window against its template -----------------------------------------------------

TEST(DialogUnits, ConvertAsWindowsDoes) {
    struct Case {
        DialogUnits base;
        int units;
        int x_pixels;
        int y_pixels;
    };
    const Case cases[] = {
        {{6, 13}, 367, 551, 596},                        // 550.5 and 596.4 rounded to the nearest
        {{6, 13}, 197, 296, 320}, {{6, 13}, -3, -5, -5}, // halves away from zero, like MulDiv
        {{7, 16}, 10, 18, 20},    {{5, 11}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dialog_x_to_pixels(c.base, c.units), c.x_pixels) << c.units;
        EXPECT_EQ(dialog_y_to_pixels(c.base, c.units), c.y_pixels) << c.units;
    }
}

TEST_F(DialogTest, EveryControlStandsWhereTheTemplatePutsIt) {
    const DialogTemplate& form = main_dialog_template;
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" Velmora Family Programmer V1.0"));
    EXPECT_EQ(window->font().pointSize(), 8);
    const DialogUnits& units = window->units();
    EXPECT_GT(units.base_x, 0);
    EXPECT_GT(units.base_y, 0);
    EXPECT_EQ(window->size(),
              QSize(dialog_x_to_pixels(units, form.width), dialog_y_to_pixels(units, form.height)));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());

    QWidget* previous = nullptr;
    for (int i = 0; i < form.control_count; ++i) {
        const DialogControl& entry = form.controls[i];
        SCOPED_TRACE(entry.id);
        QWidget* widget = window->findChild<QWidget*>(QStringLiteral("control_%1").arg(entry.id));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget, window->control(entry.id));
        EXPECT_EQ(widget->property(control_id_property).toInt(), entry.id);
        EXPECT_TRUE(widget->inherits(expected_qt_class(entry))) << expected_qt_class(entry);
        EXPECT_EQ(shown_text(widget), QString::fromLatin1(entry.text ? entry.text : ""));
        EXPECT_EQ(widget->isEnabled(), (entry.styles & style::ws_disabled) == 0);
        EXPECT_TRUE(widget->isVisible());

        const QRect expected =
            dialog_rect_to_pixels(units, entry.x, entry.y, entry.width, entry.height);
        if (entry.control_class == ControlClass::combobox) {
            // The template's height is the dropped-down list's; the field is one line.
            EXPECT_EQ(widget->pos(), expected.topLeft());
            EXPECT_EQ(widget->width(), expected.width());
            EXPECT_LE(widget->height(), expected.height());
        } else {
            EXPECT_EQ(widget->geometry(), expected);
        }
        // Template order is creation order: later controls stand above earlier ones.
        if (previous != nullptr) {
            const QObjectList& children = window->children();
            EXPECT_LT(children.indexOf(previous), children.indexOf(widget));
        }
        previous = widget;
    }
}

TEST_F(DialogTest, StartUpFillsTheControlsAndLogsTheDriverLine) {
    EXPECT_EQ(console(), QStringList{QStringLiteral("Velmora Family Using Rev.2 driver")});

    auto* io = qobject_cast<QComboBox*>(window->control(id_io_address));
    auto* cable = qobject_cast<QComboBox*>(window->control(id_cable_type));
    ASSERT_NE(io, nullptr);
    ASSERT_NE(cable, nullptr);
    ASSERT_EQ(io->count(), 2);
    EXPECT_EQ(io->itemText(0), QStringLiteral("378 (Hex) LPT1:"));
    EXPECT_EQ(io->itemText(1), QStringLiteral("278 (Hex) LPT2:"));
    EXPECT_EQ(io->currentIndex(), 0);
    ASSERT_EQ(cable->count(), 2);
    EXPECT_EQ(cable->itemText(0), QStringLiteral("Velmora Family  Rev.1"));
    EXPECT_EQ(cable->itemText(1), QStringLiteral("Velmra Famaily Rev.2"));
    EXPECT_EQ(cable->currentText(), QStringLiteral("Velmra Famaily Rev.2"));
    EXPECT_FALSE(io->isEnabled());
    EXPECT_FALSE(cable->isEnabled());

    auto* from_start = qobject_cast<QRadioButton*>(window->control(id_from_start));
    auto* from_end = qobject_cast<QRadioButton*>(window->control(id_from_end));
    ASSERT_NE(from_start, nullptr);
    ASSERT_NE(from_end, nullptr);
    EXPECT_FALSE(from_start->isChecked());
    EXPECT_TRUE(from_end->isChecked());
    from_start->click();
    EXPECT_TRUE(from_start->isChecked());
    EXPECT_FALSE(from_end->isChecked()); // one group: checking one clears the other

    auto* progress = qobject_cast<QProgressBar*>(window->control(id_progress));
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(window->progress_position(), 0);
}

TEST_F(DialogTest, DelayFieldStartsAtZeroAndTakesDigitsOnly) {
    auto* delay = qobject_cast<QLineEdit*>(window->control(id_delay));
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->text(), QStringLiteral("0"));
    delay->clear();
    QTest::keyClicks(delay, QStringLiteral("1a2-3 4x"));
    EXPECT_EQ(delay->text(), QStringLiteral("1234"));

    // The worker takes the field's value with the next command.
    wait_until_idle();
    EXPECT_EQ(delay_constant, 1234u);
    delay->clear();
    wait_until_idle();
    EXPECT_EQ(delay_constant, 0u); // an empty field is no number: no busy-wait
}

TEST_F(DialogTest, ProgressBarKeepsTheSixteenBitRange) {
    auto* progress = qobject_cast<QProgressBar*>(window->control(id_progress));
    ASSERT_NE(progress, nullptr);
    progress_begin(64);
    for (int i = 0; i < 64; ++i) {
        progress_step();
    }
    EXPECT_EQ(window->progress_upper(), 65);
    EXPECT_EQ(window->progress_position(), 64);
    EXPECT_EQ(progress->maximum(), 65);
    EXPECT_EQ(progress->value(), 64);
    progress_step();
    progress_step(); // the bar holds its position within the range
    EXPECT_EQ(progress->value(), 65);
    progress_begin(0);
    EXPECT_EQ(window->progress_upper(), 65);
    EXPECT_EQ(progress->value(), 0);
    progress_begin(65535); // the bound wraps to 0: an empty bar, not a busy indicator
    EXPECT_EQ(window->progress_upper(), 0);
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_GT(progress->maximum(), 0);
    EXPECT_EQ(progress->value(), 0);
}

// ---- The console ----------------------------------------------------------------------

TEST_F(DialogTest, ConsoleFollowsTheNewestLineUnlessScrolledBack) {
    auto* view = qobject_cast<QListView*>(window->control(id_console));
    ASSERT_NE(view, nullptr);
    ConsoleModel& lines = window->console_lines();
    for (int i = 0; i < 500; ++i) {
        console_log("line");
    }
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_TRUE(wait_for([&] {
        return lines.rowCount() == 501 && bar->maximum() > 0 && bar->value() == bar->maximum();
    }));

    bar->setValue(0); // the operator reads back
    for (int i = 0; i < 100; ++i) {
        console_log("more");
    }
    ASSERT_TRUE(wait_for([&] { return lines.rowCount() == 601; }));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(lines.line(0), QStringLiteral("Velmora Family Using Rev.2 driver"));
    EXPECT_EQ(lines.line(600), QStringLiteral("more"));

    // Back at the end, it follows again.
    view->scrollToBottom();
    console_log("last");
    ASSERT_TRUE(wait_for([&] { return lines.rowCount() == 602; }));
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(DialogTest, ConsoleKeepsEveryLineAtOnceAndTellsTheViewInBatches) {
    ConsoleModel& lines = window->console_lines();
    ASSERT_TRUE(wait_for([&] { return lines.rowCount() == lines.line_count(); }));
    int insertions = 0;
    QObject::connect(&lines, &QAbstractItemModel::rowsInserted, window.get(),
                     [&] { ++insertions; });
    lines.flush(); // the view was told just now: lines that follow at once wait a moment
    for (int i = 0; i < 1000; ++i) {
        console_log("flood");
        ASSERT_EQ(lines.line_count(), 2 + i); // kept when console_log returns
    }
    EXPECT_EQ(lines.rowCount(), 1);
    ASSERT_TRUE(wait_for([&] { return lines.rowCount() == 1001; }));
    EXPECT_EQ(insertions, 1); // one layout of the whole list for the lot, not one per line
}

// ---- Commands -------------------------------------------------------------------------

TEST_F(DialogTest, ButtonsPressedDuringACommandRunInOrder) {
    press(id_blank_check);
    press(id_chip_id);
    press(id_blank_check);
    press(id_chip_id);
    ASSERT_TRUE(wait_for([&] { return count_lines(chip_id_line) == 2; }));
    const QStringList expected = {
        QStringLiteral("Velmora Family Using Rev.2 driver"),
        QStringLiteral("Blank check completed"),
        chip_id_line,
        QStringLiteral("Blank check completed"),
        chip_id_line,
    };
    EXPECT_EQ(console(), expected);
    EXPECT_EQ(window->progress_position(), 0); // emptied after each blank check
}

TEST_F(DialogTest, AbortBeforeACommandIsDiscarded) {
    press(id_abort);
    EXPECT_TRUE(abort_is_requested()); // set on the dialog thread at once
    wait_until_idle();
    EXPECT_EQ(count_lines(aborted_line), 0);
    EXPECT_FALSE(abort_is_requested());
}

TEST_F(DialogTest, AbortDuringALongCommandStopsIt) {
    press(id_blank_check);
    ASSERT_TRUE(wait_for([&] { return window->progress_position() >= 2; }));
    press(id_abort);
    ASSERT_TRUE(wait_for([&] { return count_lines(aborted_line) == 1; }));
    EXPECT_EQ(count_lines(QStringLiteral("Blank check completed")), 0);
    EXPECT_EQ(console().last(), aborted_line);
    // The worker takes the next command as usual, with the flag cleared.
    wait_until_idle();
    EXPECT_EQ(count_lines(aborted_line), 1);
}

TEST_F(DialogTest, EscapeAndEnterRunNothingAndKeepTheWindowOpen) {
    const QStringList before = console();
    for (QWidget* target : {static_cast<QWidget*>(window.get()), window->control(id_delay),
                            window->control(id_chip_id)}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
    }
    EXPECT_TRUE(window->isVisible());
    wait_until_idle(); // had anything been queued, it would have run before the marker
    QStringList expected = before;
    expected << chip_id_line;
    EXPECT_EQ(console(), expected);
}

// ---- File dialogs --------------------------------------------------------------------

TEST_F(DialogTest, ReadSavesTheChipAndRemembersThePath) {
    const std::vector<unsigned char> pattern = test_pattern();
    for (std::uint32_t k = 0; k < sim_chip_size; ++k) {
        sim_poke(k, pattern[k]);
    }
    const std::string path = scratch + "/dump.bin";
    answer_next_file_dialog({true, QString::fromStdString(path)});
    press(id_read);
    wait_until_idle();
    ASSERT_EQ(shown_dialogs.size(), 1u);
    EXPECT_EQ(shown_dialogs[0].title, QStringLiteral("Save LPC image as"));
    EXPECT_TRUE(shown_dialogs[0].save);
    EXPECT_EQ(read_file(path), pattern);
    EXPECT_FALSE(file_is_open(path));

    // The second save dialog offers the path chosen the first time; cancelling it writes
    // nothing and logs nothing.
    const QStringList before = console();
    answer_next_file_dialog({false, {}});
    press(id_read);
    wait_until_idle();
    ASSERT_EQ(shown_dialogs.size(), 2u);
    EXPECT_EQ(shown_dialogs[1].offered, QStringList{QString::fromStdString(path)});
    EXPECT_EQ(console().mid(0, before.size()), before);
    EXPECT_EQ(console().size(), before.size() + 1); // only the marker's line
}

TEST_F(DialogTest, WriteThenVerifyFromTheStartOfAFile) {
    // A longer file: the option "start of file" takes its first 262,144 bytes.
    std::vector<unsigned char> file = test_pattern();
    file.resize(sim_chip_size + 100, 0x00);
    const std::string path = scratch + "/image.bin";
    write_file(path, file);
    press(id_from_start);

    answer_next_file_dialog({true, QString::fromStdString(path)});
    press(id_write);
    ASSERT_TRUE(wait_for([&] { return count_lines(QStringLiteral("Write completed")) == 1; }));
    file.resize(sim_chip_size);
    EXPECT_EQ(chip_contents(), file);

    answer_next_file_dialog({true, QString::fromStdString(path)});
    press(id_verify);
    ASSERT_TRUE(wait_for([&] { return count_lines(QStringLiteral("Verify completed")) == 1; }));
    ASSERT_EQ(shown_dialogs.size(), 2u);
    EXPECT_EQ(shown_dialogs[0].title, QStringLiteral("Read LPC image from"));
    EXPECT_FALSE(shown_dialogs[0].save);
    // Write and Verify share one remembered path.
    EXPECT_EQ(shown_dialogs[1].offered, QStringList{QString::fromStdString(path)});
    EXPECT_FALSE(file_is_open(path));
}

TEST_F(DialogTest, ProgramWithTheDialogCancelledLeavesTheChipErased) {
    sim_poke(0x1234, 0x00);
    answer_next_file_dialog({false, {}});
    press(id_program);
    wait_until_idle();
    ASSERT_EQ(shown_dialogs.size(), 1u);
    EXPECT_EQ(sim_peek(0x1234), 0xFF);
    const QStringList expected = {QStringLiteral("Velmora Family Using Rev.2 driver"),
                                  chip_id_line};
    EXPECT_EQ(console(), expected);
}

TEST_F(DialogTest, APathLongerThan259BytesIsAFailedDialog) {
    std::string folder = scratch;
    while (folder.size() < 300) {
        folder += "/" + std::string(60, 'd');
    }
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/dump.bin";
    answer_next_file_dialog({true, QString::fromStdString(path)});
    press(id_read);
    wait_until_idle();
    ASSERT_EQ(shown_dialogs.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(path));
    const QStringList expected = {QStringLiteral("Velmora Family Using Rev.2 driver"),
                                  chip_id_line};
    EXPECT_EQ(console(), expected);
    EXPECT_EQ(save_path[0], '\0'); // nothing remembered
}

// ---- Closing -----------------------------------------------------------------------------

TEST_F(DialogTest, CloseDuringAReadStopsTheWorkerAndClosesTheFile) {
    const std::string path = scratch + "/dump.bin";
    answer_next_file_dialog({true, QString::fromStdString(path)});
    press(id_read);
    ASSERT_TRUE(wait_for([&] { return window->progress_position() >= 2; }));
    press(id_blank_check); // queued behind the read: it must not run to its end
    window->close();
    // The window stays while the worker finishes its step and serves its last requests.
    ASSERT_TRUE(wait_for([&] { return !window->isVisible(); }));
    EXPECT_EQ(window->result(), 0);
    EXPECT_TRUE(worker_thread_has_ended());
    EXPECT_FALSE(file_is_open(path));
    EXPECT_GE(count_lines(aborted_line), 1);
    EXPECT_EQ(count_lines(QStringLiteral("Blank check completed")), 0);
}

TEST_F(DialogTest, CloseWhileAFileDialogIsOpenCancelsIt) {
    const std::string path = scratch + "/never.bin";
    bool closed_from_dialog = false;
    // Close the main window from inside the open file dialog's loop.
    auto* timer = new QTimer(window.get());
    QObject::connect(timer, &QTimer::timeout, window.get(), [&, timer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QFileDialog*>(widget) != nullptr && widget->isVisible()) {
                timer->stop();
                closed_from_dialog = true;
                window->close();
                return;
            }
        }
    });
    timer->start(5);
    press(id_read);
    ASSERT_TRUE(wait_for([&] { return !window->isVisible(); }));
    EXPECT_TRUE(closed_from_dialog);
    EXPECT_TRUE(worker_thread_has_ended());
    EXPECT_FALSE(std::filesystem::exists(path));
}
