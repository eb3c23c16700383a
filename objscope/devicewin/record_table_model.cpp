#include "devicewin/record_table_model.h"

namespace objscope {

void TRecordTableModel::SetHeaders(const QStringList& headers) {
    beginResetModel();
    headers_ = headers;
    endResetModel();
}

void TRecordTableModel::SetRecords(std::vector<RecordBytes> records, CellText text,
                                   int minimumRows) {
    beginResetModel();
    records_ = std::move(records);
    text_ = std::move(text);
    edited_.clear();
    rows_ = std::max(static_cast<int>(std::min<size_t>(records_.size(), INT32_MAX)), minimumRows);
    endResetModel();
}

QString TRecordTableModel::Cell(int row, int column) const {
    auto edited = edited_.find({row, column});
    if (edited != edited_.end())
        return edited->second;
    if (row < 0 || static_cast<size_t>(row) >= records_.size() || !text_)
        return {};
    return QString::fromStdString(text_(records_[static_cast<size_t>(row)], column));
}

int TRecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TRecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TRecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return Cell(index.row(), index.column());
}

bool TRecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    edited_[{index.row(), index.column()}] = value.toString();
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TRecordTableModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant TRecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < headers_.size() ? headers_[section] : QVariant();
    return section + 1;
}

}  // namespace objscope
