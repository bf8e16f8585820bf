// The console's lines for the list view: append-only, in call order, kept compactly (the
// bytes of every line in one buffer) so that hundreds of thousands of lines cost little
// memory. The view asks only for the rows it shows.
#pragma once

#include <QAbstractListModel>

#include <cstddef>
#include <vector>

class ConsoleModel : public QAbstractListModel {
    Q_OBJECT

  public:
    using QAbstractListModel::QAbstractListModel;

    // Appends a copy of `text` (8-bit, in the system's code page) as the new last line.
    void append(const char* text);

    // Line `row` as shown.
    QString line(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<char> bytes_;
    std::vector<std::size_t> starts_; // where each line begins in bytes_
};
