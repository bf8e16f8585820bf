// The main dialog as a Qt window: every control from main_dialog_template, where the
// template puts it, and the dialog thread's side of the named screen operations. The
// portable behaviour (initialisation, button routing) is ui/main_dialog.
#pragma once

#include "platform/platform.h"
#include "platform/qt/console_model.h"
#include "platform/qt/dialog_units.h"

#include <QDialog>
#include <QHash>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

class QFileDialog;
class QListView;
class QProgressBar;
class QTimer;

class MainWindow;
// A request that the dialog thread carries out for the worker, while the worker waits.
// Qt's blocking call orders the two threads already; the atomic hand-over states that
// order in our own code too, where thread checkers can see it.
struct DialogRequest {
    std::function<void(MainWindow*)> call;
    std::atomic<int> stage{0}; // 1 posted by the worker, 2 carried out by the dialog
};

// The property that carries each control's id; its objectName is "control_<id>" too.
inline constexpr const char* control_id_property = "control_id";

class MainWindow : public QDialog {
    Q_OBJECT

  public:
    explicit MainWindow(QWidget* parent = nullptr);

    // The handle the core keeps in dialog_handle.
    void* handle() { return this; }
    static MainWindow* from_handle(void* handle) { return static_cast<MainWindow*>(handle); }

    // The control with template id `id`, or nullptr.
    QWidget* control(int id) const { return controls_.value(id, nullptr); }
    const DialogUnits& units() const { return units_; }
    ConsoleModel& console_lines() { return console_lines_; }

    // ---- The screen operations, carried out on the dialog thread --------------------
    void add_console_line(const char* text);
    void set_progress_range(std::uint16_t upper);
    void set_progress_position(std::uint16_t position);
    void advance_progress(std::uint16_t delta);
    std::uint16_t progress_upper() const { return progress_upper_; }
    std::uint16_t progress_position() const { return progress_position_; }
    QString delay_text() const;
    bool option_checked(int id) const;
    void check_option(int id);
    void combo_insert(int id, int index, const char* text);
    void combo_select(int id, int index);
    // The file dialog; false when cancelled, failed, or the path does not fit `capacity`.
    bool ask_for_file(FilePrompt kind, const char* title, char* path, std::size_t capacity);

    // Hands `request` to the dialog thread and returns once it has been carried out. Only
    // the worker calls it, one request at a time.
    void request_from_worker(DialogRequest* request);

    // Runs the request handed over (invoked from the worker, blocking).
    Q_INVOKABLE void carry_out();

    // Whether the window is on its way out: Abort raised, waiting for the worker's end.
    bool closing() const { return closing_; }

    // Runs once the worker has ended, before the window goes (the port is released and the
    // simulated chip saved there). When it returns false its console lines say what went
    // wrong: the window stays open to show them, and the next close ends it.
    void set_end_step(bool (*step)()) { end_step_ = step; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  public slots:
    // Escape and the like never end the dialog: only a close request does.
    void reject() override {}

  private:
    // The request being handed over: published by the worker before its blocking call, so
    // that nothing the dialog thread reads travels through Qt's own (unchecked) hand-over.
    std::atomic<DialogRequest*> pending_request_{nullptr};

    void create_controls();
    void begin_close();
    void finish_close_when_worker_ended();
    void show_progress();
    void follow_console();

    DialogUnits units_;
    QHash<int, QWidget*> controls_;
    ConsoleModel console_lines_;
    QListView* console_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::uint16_t progress_upper_ = 100; // the progress bar's own initial range, 0 to 100
    std::uint16_t progress_position_ = 0;
    bool follow_ = true; // the console shows its newest line
    bool closing_ = false;
    bool ended_ = false; // the worker has ended and the end step ran
    bool (*end_step_)() = nullptr;
    QFileDialog* file_prompt_ = nullptr;
    QTimer* close_timer_ = nullptr;
};
