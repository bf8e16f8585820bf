// The Qt dialog on the simulated chip with the real worker thread: a fixture that opens
// the window as the program does, and helpers that wait by processing events.
#pragma once

#include "platform/qt/main_window.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// Processes events until `condition` holds; false when it never did (a generous bound).
bool wait_for(const std::function<bool()>& condition);

// What the test does with the next file dialog that opens.
struct FileDialogAnswer {
    bool accept;
    QString path; // the file name to accept
};
// What the file dialog showed.
struct ShownFileDialog {
    QString title;
    QStringList offered; // the files it had selected when it opened
    bool save;           // a save dialog
};

// Whether some file descriptor of this process is open on `path`.
bool file_is_open(const std::string& path);

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Clicks the control `id`.
    void press(int id);
    // The console's lines.
    QStringList console() const;
    int count_lines(const QString& line) const;
    // Presses Chip ID as a marker and waits for its line: every command queued before
    // it has run.
    void wait_until_idle();
    // Answers the next file dialog (from a timer on the dialog thread, while the worker
    // waits for it) and records what it showed.
    void answer_next_file_dialog(const FileDialogAnswer& answer);
    // Closes the window as the operator does and waits until it has gone.
    void close_window();

    std::unique_ptr<MainWindow> window;
    std::vector<ShownFileDialog> shown_dialogs;
    std::string scratch; // a fresh folder for this test's files
};

inline const QString chip_id_line = QStringLiteral("Mfg=0xbf Device=0x52");
inline const QString aborted_line = QStringLiteral("-- Operation Aborted --");
