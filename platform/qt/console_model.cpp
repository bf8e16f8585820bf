#include "platform/qt/console_model.h"

#include <cstring>

void ConsoleModel::append(const char* text) {
    const int row = static_cast<int>(starts_.size());
    beginInsertRows(QModelIndex(), row, row);
    starts_.push_back(bytes_.size());
    bytes_.insert(bytes_.end(), text, text + std::strlen(text));
    endInsertRows();
}

QString ConsoleModel::line(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= starts_.size()) {
        return QString();
    }
    const std::size_t begin = starts_[static_cast<std::size_t>(row)];
    const std::size_t end = static_cast<std::size_t>(row) + 1 < starts_.size()
                                ? starts_[static_cast<std::size_t>(row) + 1]
                                : bytes_.size();
    return QString::fromLocal8Bit(bytes_.data() + begin, static_cast<qsizetype>(end - begin));
}

int ConsoleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(starts_.size());
}

QVariant ConsoleModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) {
        return QVariant();
    }
    return line(index.row());
}
