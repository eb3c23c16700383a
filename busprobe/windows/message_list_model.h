// The stored messages as a table: one row per message of the capture store,
// its cells made in data() only for the rows on screen. Live, the rows
// follow the store (the oldest leave at the top, new ones come at the
// bottom) once per batch; paused, the rows stand still while the store
// keeps capturing, and rows whose message the store had to discard meanwhile
// say so.
#pragma once

#include <QAbstractTableModel>
#include <functional>

#include "capture_store.h"

namespace busprobe {

class MessageListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column {
        kNumber,
        kTime,
        kDirection,
        kAddress,
        kObject,
        kMessage,
        kMsgNumber,
        kReply,
        kDecoded,
        kData,
        kColumnCount
    };

    // A text decoding the message's data (the Tarn fields), or empty.
    using Decoder = std::function<QString(const CapturedMessage&)>;

    explicit MessageListModel(const CaptureStore& store, QObject* parent = nullptr);

    void setDecoder(Decoder decoder) { decoder_ = std::move(decoder); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Brings the rows up to the store (nothing while paused).
    void sync();
    // Repaints the rows whose pairing may have changed.
    void refreshPairing();
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // Messages captured since the pause began.
    uint64_t pendingWhilePaused() const;

    uint64_t serialOf(int row) const { return first_ + static_cast<uint64_t>(row); }
    // -1 when the serial is not a row.
    int rowOf(uint64_t serial) const;

    // One line of the cells of `row`, for tests and copying.
    QString rowText(int row) const;

  private:
    QString cell(const CapturedMessage& m, uint64_t serial, int column) const;

    const CaptureStore& store_;
    Decoder decoder_;
    uint64_t first_ = 0;  // serial of row 0
    uint64_t end_ = 0;    // serial after the last row
    bool paused_ = false;
};

}  // namespace busprobe
