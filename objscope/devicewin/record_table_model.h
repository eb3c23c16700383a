// A grid model over records kept as their raw bytes: the cell texts are made
// when a row is shown, the row count is set once per filling (tens of
// thousands of rows stay cheap), and cells the user edits keep what was
// typed. A filling shows at least `minimumRows` rows (empty ones below the
// records).
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace objscope {

using RecordBytes = std::vector<uint8_t>;
using CellText = std::function<std::string(const RecordBytes& record, int column)>;

class TRecordTableModel : public QAbstractTableModel {
  public:
    explicit TRecordTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void SetHeaders(const QStringList& headers);
    // Replaces every row (one reset, whatever the count).
    void SetRecords(std::vector<RecordBytes> records, CellText text, int minimumRows);
    void Clear(int minimumRows) { SetRecords({}, {}, minimumRows); }
    size_t RecordCount() const { return records_.size(); }
    QString Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QStringList headers_;
    std::vector<RecordBytes> records_;
    CellText text_;
    int rows_ = 0;
    std::map<std::pair<int, int>, QString> edited_;
};

}  // namespace objscope
