#include "devicewin/blob_rows_model.h"

namespace objscope {

void TBlobRowsModel::SetRows(std::vector<std::string> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void TBlobRowsModel::SetRow(size_t row, std::string text) {
    if (row >= rows_.size())
        return;
    rows_[row] = std::move(text);
    QModelIndex changed = index(static_cast<int>(row), 0);
    emit dataChanged(changed, changed);
}

int TBlobRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TBlobRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant TBlobRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return QString::fromStdString(rows_[static_cast<size_t>(index.row())]);
}

bool TBlobRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    SetRow(static_cast<size_t>(index.row()), value.toString().toStdString());
    return true;
}

Qt::ItemFlags TBlobRowsModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant TBlobRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return QString("    BLOB Data (Hex Bytes)");
    return section + 1;
}

}  // namespace objscope
