#include "message_list_model.h"

#include <QColor>
#include <QDateTime>

#include "hex_text.h"
#include "traffic_format.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

constexpr size_t kDataShown = 24;  // bytes of data in the Data column

const char* const kHeaders[MessageListModel::kColumnCount] = {
    "No.", "Time", "Dir", "Address", "Object", "Message", "Number", "Reply", "Decoded", "Data"};

QString hexId(uint16_t value) {
    return QString::fromStdString(hexText(value, 4));
}

QString replyText(const CapturedMessage& m) {
    switch (m.pairing) {
        case Pairing::Response:
            return m.latencyNs >= 0
                       ? QString::asprintf("%.3f ms", static_cast<double>(m.latencyNs) / 1e6)
                       : QStringLiteral("no request");
        case Pairing::Answered:
            return QStringLiteral("answered");
        case Pairing::Unanswered:
            return QStringLiteral("no reply");
        case Pairing::Waiting:
            return QStringLiteral("waiting");
        case Pairing::None:
            break;
    }
    return {};
}

QString dataText(const CapturedMessage& m) {
    auto data = wire::datagramData(m.datagram());
    QString text;
    size_t shown = std::min(data.size(), kDataShown);
    for (size_t i = 0; i < shown; ++i) {
        if (i > 0) {
            text += QLatin1Char(' ');
        }
        text += QString::fromStdString(hexText(data[i], 2));
    }
    if (data.size() > shown) {
        text += QStringLiteral(" ...");
    }
    return text;
}

}  // namespace

MessageListModel::MessageListModel(const CaptureStore& store, QObject* parent)
    : QAbstractTableModel(parent),
      store_(store),
      first_(store.firstSerial()),
      end_(store.endSerial()) {}

int MessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(end_ - first_);
}

int MessageListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return QString::fromLatin1(kHeaders[section]);
}

QString MessageListModel::cell(const CapturedMessage& m, uint64_t serial, int column) const {
    auto header = wire::readHeader(m.datagram());
    switch (column) {
        case kNumber:
            return QString::number(serial + 1);
        case kTime:
            return QDateTime::fromMSecsSinceEpoch(m.wallMs).time().toString(
                QStringLiteral("HH:mm:ss.zzz"));
        case kDirection:
            return m.direction == Direction::Sent ? QStringLiteral("->") : QStringLiteral("<-");
        case kAddress:
            return QString::fromStdString(dottedAddress(m.address));
        case kObject:
            return header ? hexId(header->objectId) : QString();
        case kMessage:
            return header ? hexId(header->messageId) : QString();
        case kMsgNumber:
            return header ? hexId(header->messageNumber) : QString();
        case kReply:
            return replyText(m);
        case kDecoded:
            return decoder_ ? decoder_(m) : QString();
        case kData:
            return dataText(m);
        default:
            return {};
    }
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) {
        return {};
    }
    uint64_t serial = serialOf(index.row());
    if (role == Qt::DisplayRole) {
        if (!store_.holds(serial)) {
            return index.column() == kNumber ? QString::number(serial + 1)
                   : index.column() == kData ? QStringLiteral("(discarded while paused)")
                                             : QString();
        }
        return cell(store_.at(serial), serial, index.column());
    }
    if (role == Qt::ForegroundRole && store_.holds(serial) &&
        store_.at(serial).pairing == Pairing::Unanswered) {
        return QColor(Qt::darkRed);
    }
    return {};
}

void MessageListModel::sync() {
    if (paused_) {
        return;
    }
    uint64_t first = store_.firstSerial();
    uint64_t end = store_.endSerial();
    if (first >= end_ || first < first_) {
        // Everything shown is gone (or the store was cleared): start afresh.
        beginResetModel();
        first_ = first;
        end_ = end;
        endResetModel();
        return;
    }
    if (first > first_) {
        beginRemoveRows({}, 0, static_cast<int>(first - first_) - 1);
        first_ = first;
        endRemoveRows();
    }
    if (end > end_) {
        beginInsertRows({}, static_cast<int>(end_ - first_), static_cast<int>(end - first_) - 1);
        end_ = end;
        endInsertRows();
    }
}

void MessageListModel::refreshPairing() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, kReply), index(rowCount() - 1, kReply), {Qt::DisplayRole});
    }
}

void MessageListModel::setPaused(bool paused) {
    paused_ = paused;
    if (!paused) {
        sync();
    }
}

uint64_t MessageListModel::pendingWhilePaused() const {
    return paused_ ? store_.endSerial() - end_ : 0;
}

int MessageListModel::rowOf(uint64_t serial) const {
    return serial >= first_ && serial < end_ ? static_cast<int>(serial - first_) : -1;
}

QString MessageListModel::rowText(int row) const {
    QStringList cells;
    for (int c = 0; c < kColumnCount; ++c) {
        cells << data(index(row, c), Qt::DisplayRole).toString();
    }
    return cells.join(QLatin1Char('|'));
}

}  // namespace busprobe
