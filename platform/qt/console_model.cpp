#include "platform/qt/console_model.h"

#include <algorithm>
#include <cstring>

ConsoleModel::ConsoleModel(QObject* parent) : QAbstractListModel(parent) {
    flush_timer_.setSingleShot(true);
    connect(&flush_timer_, &QTimer::timeout, this, &ConsoleModel::flush);
}

void ConsoleModel::append(const char* text) {
    starts_.push_back(bytes_.size());
    bytes_.insert(bytes_.end(), text, text + std::strlen(text));
    if (flush_timer_.isActive()) {
        return;
    }
    const qint64 waited = since_flush_.isValid() ? since_flush_.elapsed() : wait_ms_;
    if (waited >= wait_ms_) {
        flush();
    } else {
        flush_timer_.start(static_cast<int>(wait_ms_ - waited));
    }
}

void ConsoleModel::flush() {
    flush_timer_.stop();
    const int total = line_count();
    if (shown_ == total) {
        since_flush_.start();
        return;
    }
    QElapsedTimer telling;
    telling.start();
    beginInsertRows(QModelIndex(), shown_, total - 1);
    shown_ = total;
    endInsertRows(); // the view lays its rows out, and follows the newest line
    wait_ms_ = std::max<qint64>(flush_interval_ms, 3 * telling.elapsed());
    since_flush_.start();
}

QString ConsoleModel::line(int row) const {
    if (row < 0 || row >= line_count()) {
        return QString();
    }
    const auto index = static_cast<std::size_t>(row);
    const std::size_t begin = starts_[index];
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : bytes_.size();
    return QString::fromLocal8Bit(bytes_.data() + begin, static_cast<qsizetype>(end - begin));
}

int ConsoleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant ConsoleModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_) {
        return QVariant();
    }
    return line(index.row());
}
