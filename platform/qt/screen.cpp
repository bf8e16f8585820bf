// The named screen operations for the Qt window. The dialog thread owns the controls: a
// request from the worker is carried out there while the worker waits (a line is on the
// screen when console_log returns); one made on the dialog thread itself (the probe's line
// during the initialisation) is a direct call. The dialog thread never waits for the worker.
#include "platform/platform.h"
#include "platform/qt/main_window.h"
#include "ui/feedback.h"
#include "ui/worker.h"

#include <QMetaObject>
#include <QThread>

namespace {

template <typename Request> void on_dialog_thread(void* handle, Request request) {
    MainWindow* const window = MainWindow::from_handle(handle);
    if (QThread::currentThread() == window->thread()) {
        request(window);
        return;
    }
    DialogRequest pending;
    pending.call = request;
    window->request_from_worker(&pending);
}

} // namespace

void screen_console_add(void* dialog, const char* text) {
    on_dialog_thread(dialog, [text](MainWindow* window) { window->add_console_line(text); });
}

void screen_progress_set_range(void* dialog, std::uint16_t upper) {
    on_dialog_thread(dialog, [upper](MainWindow* window) { window->set_progress_range(upper); });
}

void screen_progress_set_position(void* dialog, std::uint16_t position) {
    on_dialog_thread(dialog,
                     [position](MainWindow* window) { window->set_progress_position(position); });
}

void screen_progress_advance(void* dialog, std::uint16_t delta) {
    on_dialog_thread(dialog, [delta](MainWindow* window) { window->advance_progress(delta); });
}

bool screen_read_delay(void* dialog, std::uint32_t* value) {
    QByteArray text;
    on_dialog_thread(dialog, [&text](MainWindow* window) {
        text = window->delay_text().toLatin1();
        // A command still queued when the window was closed starts aborted.
        if (window->closing()) {
            request_abort();
        }
    });
    return parse_delay_text(text.constData(), value);
}

bool screen_option_checked(void* dialog, int id) {
    bool checked = false;
    on_dialog_thread(dialog,
                     [id, &checked](MainWindow* window) { checked = window->option_checked(id); });
    return checked;
}

bool prompt_for_file(void* owner, FilePrompt kind, const char* title, char* path,
                     std::size_t capacity) {
    bool chosen = false;
    on_dialog_thread(owner, [&](MainWindow* window) {
        chosen = window->ask_for_file(kind, title, path, capacity);
    });
    return chosen;
}

void screen_combo_insert(void* dialog, int id, int index, const char* text) {
    on_dialog_thread(dialog, [=](MainWindow* window) { window->combo_insert(id, index, text); });
}

void screen_combo_select(void* dialog, int id, int index) {
    on_dialog_thread(dialog, [=](MainWindow* window) { window->combo_select(id, index); });
}

void screen_option_check(void* dialog, int id) {
    on_dialog_thread(dialog, [id](MainWindow* window) { window->check_option(id); });
}
