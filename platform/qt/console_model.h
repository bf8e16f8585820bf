// The console's lines for the list view: append-only, in call order, kept compactly (the
// bytes of every line in one buffer) so that hundreds of thousands of lines cost little
// memory. The view asks only for the rows it shows.
//
// A line is kept the moment it is appended. The view hears of new lines at once when
// they come singly, and in batches when they pour in: a list view lays out all its rows
// again for every insertion (some 16 ms for 300,000 lines), which one line at a time
// would make a long console ever slower. A batch waits flush_interval_ms, or three times
// what telling the view took last, so that the dialog thread spends at most about a
// quarter of its time on the console however long it grows.
#pragma once

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QTimer>

#include <cstddef>
#include <vector>

class ConsoleModel : public QAbstractListModel {
    Q_OBJECT

  public:
    static constexpr int flush_interval_ms = 25;

    explicit ConsoleModel(QObject* parent = nullptr);

    // Appends a copy of `text` (8-bit, in the system's code page) as the new last line.
    void append(const char* text);

    // Every line kept, shown or about to be.
    int line_count() const { return static_cast<int>(starts_.size()); }
    // Line `row` as shown.
    QString line(int row) const;

    // Tells the view of every line not yet shown.
    void flush();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<char> bytes_;
    std::vector<std::size_t> starts_; // where each line begins in bytes_
    int shown_ = 0;                   // rows the view knows of
    QTimer flush_timer_;
    QElapsedTimer since_flush_;
    qint64 wait_ms_ = flush_interval_ms; // between two tellings of the view
};
