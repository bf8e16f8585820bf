#include "platform/qt/main_window.h"

#include "platform/posix/worker_thread.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"
#include "ui/main_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

QString text_of(const DialogControl& control) {
    return control.text == nullptr ? QString() : QString::fromLocal8Bit(control.text);
}

QWidget* make_group_box(const DialogControl& control, QWidget* parent) {
    return new QGroupBox(text_of(control), parent);
}

QWidget* make_push_button(const DialogControl& control, QWidget* parent) {
    auto* button = new QPushButton(text_of(control), parent);
    // Enter presses no button: a dialog's Enter and Escape run nothing here.
    button->setAutoDefault(false);
    return button;
}

QWidget* make_radio_button(const DialogControl& control, QWidget* parent) {
    return new QRadioButton(text_of(control), parent);
}

QWidget* make_button(const DialogControl& control, QWidget* parent) {
    struct ButtonKind {
        std::uint32_t style;
        QWidget* (*make)(const DialogControl&, QWidget*);
    };
    static constexpr ButtonKind kinds[] = {
        {style::bs_groupbox, make_group_box},
        {style::bs_autoradiobutton, make_radio_button},
        {style::bs_pushbutton, make_push_button},
    };
    const std::uint32_t kind = control.styles & 0xF;
    for (const ButtonKind& candidate : kinds) {
        if (candidate.style == kind) {
            return candidate.make(control, parent);
        }
    }
    return make_push_button(control, parent);
}

QWidget* make_label(const DialogControl& control, QWidget* parent) {
    auto* label = new QLabel(text_of(control), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* make_combo(const DialogControl& control, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    // A drop-down (not a drop-down list) has an edit field of its own.
    combo->setEditable((control.styles & 0x3) == style::cbs_dropdown);
    return combo;
}

QWidget* make_edit(const DialogControl& control, QWidget* parent) {
    auto* edit = new QLineEdit(text_of(control), parent);
    if ((control.styles & style::es_number) != 0) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QWidget* make_list(const DialogControl&, QWidget* parent) {
    auto* list = new QListView(parent);
    // One height for every line: the view lays out hundreds of thousands of lines at once.
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return list;
}

QWidget* make_progress(const DialogControl&, QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

// By ControlClass, in its order.
QWidget* (*const factories[])(const DialogControl&, QWidget*) = {
    make_button, make_label, make_combo, make_edit, make_list, make_progress,
};
static_assert(std::size(factories) == static_cast<std::size_t>(ControlClass::progress) + 1);

bool is_radio(const DialogControl& control) {
    return control.control_class == ControlClass::button &&
           (control.styles & 0xF) == style::bs_autoradiobutton;
}

// Win32 sends these ids for Enter and Escape; the dialog's command handling ignores them.
struct DialogKey {
    int key;
    int command_id;
};
constexpr DialogKey dialog_keys[] = {
    {Qt::Key_Return, 1},
    {Qt::Key_Enter, 1},
    {Qt::Key_Escape, 2},
};

constexpr int close_poll_ms = 10;

} // namespace

MainWindow::MainWindow(QWidget* parent) : QDialog(parent) {
    const DialogTemplate& form = main_dialog_template;
    setFont(dialog_font(form.font_name, form.font_points));
    units_ = dialog_units_of(font());
    setWindowTitle(QString::fromLocal8Bit(form.caption));
    // A fixed frame with a caption and a close button, like a modal dialog frame.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);
    setFixedSize(dialog_x_to_pixels(units_, form.width), dialog_y_to_pixels(units_, form.height));
    create_controls();
    console_ = qobject_cast<QListView*>(control(id_console));
    progress_ = qobject_cast<QProgressBar*>(control(id_progress));
    if (console_ != nullptr) {
        console_->setModel(&console_lines_);
        follow_console();
    }
}

void MainWindow::create_controls() {
    const DialogTemplate& form = main_dialog_template;
    // The template is drawn for classic dialog controls: a group box's title stands on its
    // frame line, not above it. Qt's classic style draws them so.
    QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"));
    if (classic != nullptr) {
        classic->setParent(this);
        setStyle(classic);
    }
    QButtonGroup* radio_group = nullptr;
    bool previous_was_radio = false;
    for (int i = 0; i < form.control_count; ++i) {
        const DialogControl& entry = form.controls[i];
        QWidget* widget = factories[static_cast<int>(entry.control_class)](entry, this);
        widget->setObjectName(QStringLiteral("control_%1").arg(entry.id));
        widget->setProperty(control_id_property, entry.id);
        widget->setGeometry(
            dialog_rect_to_pixels(units_, entry.x, entry.y, entry.width, entry.height));
        widget->setEnabled((entry.styles & style::ws_disabled) == 0);
        if (classic != nullptr) {
            widget->setStyle(classic);
        }
        controls_.insert(entry.id, widget);

        // Option buttons that follow one another form one group: checking one clears the
        // others.
        if (is_radio(entry)) {
            if (!previous_was_radio || (entry.styles & style::ws_group) != 0) {
                radio_group = new QButtonGroup(this);
            }
            radio_group->addButton(static_cast<QAbstractButton*>(widget), entry.id);
        }
        previous_was_radio = is_radio(entry);

        // Every button press is the dialog's command message; the portable routing
        // forwards the operation buttons and takes Abort.
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            const int id = entry.id;
            connect(button, &QAbstractButton::clicked, this, [id, button] {
                main_dialog_command(static_cast<std::uintptr_t>(id),
                                    reinterpret_cast<std::intptr_t>(button));
            });
        }
    }
    // The closed field of a combo is one text line high; the template's height is that
    // of its dropped-down list.
    for (const int id : {int{id_io_address}, int{id_cable_type}}) {
        if (QWidget* combo = control(id)) {
            combo->resize(combo->width(), std::min(combo->height(), combo->sizeHint().height()));
        }
    }
}

// ---- Requests of the worker ------------------------------------------------------------

void MainWindow::request_from_worker(DialogRequest* request) {
    request->stage.store(1, std::memory_order_relaxed);
    pending_request_.store(request, std::memory_order_release);
    QMetaObject::invokeMethod(this, "carry_out", Qt::BlockingQueuedConnection);
    [[maybe_unused]] const int stage = request->stage.load(std::memory_order_acquire);
}

void MainWindow::carry_out() {
    DialogRequest* const pending = pending_request_.exchange(nullptr, std::memory_order_acquire);
    if (pending == nullptr) {
        return;
    }
    if (pending->stage.load(std::memory_order_relaxed) == 1) {
        pending->call(this);
    }
    pending->stage.store(2, std::memory_order_release);
}

// ---- Console ---------------------------------------------------------------------------

void MainWindow::add_console_line(const char* text) {
    console_lines_.append(text);
}

void MainWindow::follow_console() {
    // The console follows the newest line while the operator has it scrolled to the end.
    connect(&console_lines_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar* bar = console_->verticalScrollBar();
        follow_ = bar->value() >= bar->maximum();
    });
    connect(&console_lines_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (follow_) {
            console_->scrollToBottom();
        }
    });
}

// ---- Progress ------------------------------------------------------------------------

void MainWindow::set_progress_range(std::uint16_t upper) {
    progress_upper_ = upper;
    progress_position_ = std::min(progress_position_, progress_upper_);
    show_progress();
}

void MainWindow::set_progress_position(std::uint16_t position) {
    progress_position_ = std::min(position, progress_upper_);
    show_progress();
}

void MainWindow::advance_progress(std::uint16_t delta) {
    // The position stays within the range, as the progress bar keeps it.
    const int advanced = progress_position_ + delta;
    progress_position_ = static_cast<std::uint16_t>(std::min<int>(advanced, progress_upper_));
    show_progress();
}

void MainWindow::show_progress() {
    if (progress_ == nullptr) {
        return;
    }
    // A range of 0 to 0 shows an empty bar (Qt would show a busy indicator).
    progress_->setRange(0, std::max<int>(progress_upper_, 1));
    progress_->setValue(progress_position_);
}

// ---- Fields read by the worker, the initialisation's controls --------------------------

QString MainWindow::delay_text() const {
    const auto* edit = qobject_cast<const QLineEdit*>(control(id_delay));
    return edit != nullptr ? edit->text() : QString();
}

bool MainWindow::option_checked(int id) const {
    const auto* button = qobject_cast<const QAbstractButton*>(control(id));
    return button != nullptr && button->isChecked();
}

void MainWindow::check_option(int id) {
    if (auto* button = qobject_cast<QAbstractButton*>(control(id))) {
        button->setChecked(true);
    }
}

void MainWindow::combo_insert(int id, int index, const char* text) {
    if (auto* combo = qobject_cast<QComboBox*>(control(id))) {
        combo->insertItem(index, QString::fromLocal8Bit(text));
    }
}

void MainWindow::combo_select(int id, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(control(id))) {
        combo->setCurrentIndex(index);
    }
}

// ---- File dialogs ------------------------------------------------------------------------

bool MainWindow::ask_for_file(FilePrompt kind, const char* title, char* path,
                              std::size_t capacity) {
    if (closing_) {
        return false;
    }
    QFileDialog prompt(this, QString::fromLocal8Bit(title));
    prompt.setOption(QFileDialog::DontUseNativeDialog);
    prompt.setOption(QFileDialog::DontConfirmOverwrite);
    prompt.setFileMode(QFileDialog::AnyFile);
    prompt.setAcceptMode(kind == FilePrompt::save ? QFileDialog::AcceptSave
                                                  : QFileDialog::AcceptOpen);
    if (path[0] != '\0') {
        prompt.selectFile(QFile::decodeName(path));
    }
    file_prompt_ = &prompt;
    const int result = prompt.exec();
    file_prompt_ = nullptr;
    const QStringList chosen = prompt.selectedFiles();
    if (result != QDialog::Accepted || closing_ || chosen.isEmpty()) {
        return false;
    }
    const QByteArray name = QFile::encodeName(chosen.first());
    // A path that does not fit the caller's buffer fails like a cancel.
    if (name.isEmpty() || static_cast<std::size_t>(name.size()) + 1 > capacity) {
        return false;
    }
    std::memcpy(path, name.constData(), static_cast<std::size_t>(name.size()) + 1);
    return true;
}

// ---- Keys and the end of the dialog ----------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent* event) {
    for (const DialogKey& key : dialog_keys) {
        if (event->key() == key.key && event->modifiers() == Qt::NoModifier) {
            main_dialog_command(static_cast<std::uintptr_t>(key.command_id), 0);
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the worker has stopped: a file being written is closed and
    // reported before the program ends.
    event->ignore();
    if (ended_) {
        done(0);
        return;
    }
    begin_close();
}

void MainWindow::begin_close() {
    if (closing_) {
        return;
    }
    closing_ = true;
    request_abort();
    if (file_prompt_ != nullptr) {
        file_prompt_->reject();
    }
    for (QWidget* widget : std::as_const(controls_)) {
        if (qobject_cast<QPushButton*>(widget) != nullptr) {
            widget->setEnabled(false);
        }
    }
    worker_post(WorkerMessage{message_quit, 0, 0});
    close_timer_ = new QTimer(this);
    connect(close_timer_, &QTimer::timeout, this, &MainWindow::finish_close_when_worker_ended);
    close_timer_->start(close_poll_ms);
    finish_close_when_worker_ended();
}

void MainWindow::finish_close_when_worker_ended() {
    if (close_timer_ == nullptr || !worker_thread_has_ended()) {
        return;
    }
    close_timer_->stop();
    close_timer_->deleteLater();
    close_timer_ = nullptr;
    worker_thread_stop();
    ended_ = true;
    if (end_step_ != nullptr && !end_step_()) {
        return;
    }
    done(0);
}
