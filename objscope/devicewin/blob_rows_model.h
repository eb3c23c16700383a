// The rows of the BLOB window: one editable text per data block entry.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace objscope {

class TBlobRowsModel : public QAbstractTableModel {
  public:
    explicit TBlobRowsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void SetRows(std::vector<std::string> rows);
    const std::vector<std::string>& Rows() const { return rows_; }
    void SetRow(size_t row, std::string text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<std::string> rows_;
};

}  // namespace objscope
