#include "audio/delay/delay_grid_model.h"

#include <cmath>

#include "windows/control_numbers.h"

namespace objscope::audio {

namespace {

namespace c = delay_column;

// The field a column shows (kDelay for both the time and the distance).
TapField FieldOfColumn(int column) {
    switch (column) {
        case c::kMute:
            return TapField::kMute;
        case c::kCalc:
            return TapField::kCalc;
        case c::kTargetX:
            return TapField::kTargetX;
        case c::kTargetY:
            return TapField::kTargetY;
        case c::kTargetZ:
            return TapField::kTargetZ;
        case c::kOffset:
            return TapField::kOffset;
        default:
            return TapField::kDelay;
    }
}

bool IsFlagColumn(int column) {
    return column == c::kMute || column == c::kCalc;
}

}  // namespace

QStringList DelayGridHeaders() {
    return {"Num  ",   "Delay Name ", " Delay Time   ", " Delay Dist.  ", " Mute  ",
            " Calc  ", "Target X  ",  "Target Y  ",     "Target Z  ",     " Offset "};
}

TDelayGridModel::TDelayGridModel(std::vector<TDelayRow> rows, QObject* parent)
    : QAbstractTableModel(parent),
      rows_(std::move(rows)),
      factor_(DistanceFactor(kDelayTemperature, unit_)) {}

int TDelayGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TDelayGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : c::kCount;
}

QVariant TDelayGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList headers = DelayGridHeaders();
    return section >= 0 && section < headers.size() ? headers[section] : QVariant();
}

QString TDelayGridModel::CellText(const TDelayRow& row, int column) const {
    const TDelayTapComm& comm = *row.comm;
    switch (column) {
        case c::kName:
            return row.name;
        case c::kTime:
            return QString::fromStdString(
                DelayCellText(comm.Value(TapField::kDelay), comm.DelaySteps()));
        case c::kDistance:
            return QString::fromStdString(DistanceCellText(
                DistanceOfDelay(comm.Value(TapField::kDelay), factor_, unit_), unit_));
        default:
            return QString::number(std::lround(comm.Value(FieldOfColumn(column))));
    }
}

QVariant TDelayGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TDelayRow& row = rows_[static_cast<size_t>(index.row())];
    const int column = index.column();
    if (column == c::kNumber)
        return role == Qt::DisplayRole ? QVariant(index.row() + 1) : QVariant();
    if (!row.comm->Has(FieldOfColumn(column)) && column != c::kName)
        return {};
    if (IsFlagColumn(column))
        return role == Qt::CheckStateRole
                   ? QVariant(row.comm->Value(FieldOfColumn(column)) != 0 ? Qt::Checked
                                                                          : Qt::Unchecked)
                   : QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return CellText(row, column);
    return {};
}

Qt::ItemFlags TDelayGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const int column = index.column();
    if (!editable_ || column == c::kNumber || column == c::kName || !index.isValid() ||
        !rows_[static_cast<size_t>(index.row())].comm->Has(FieldOfColumn(column)))
        return flags;
    return flags | (IsFlagColumn(column) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

bool TDelayGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    TDelayRow& row = rows_[static_cast<size_t>(index.row())];
    const int column = index.column();
    if (IsFlagColumn(column)) {
        if (role != Qt::CheckStateRole)
            return false;
        row.comm->Set(FieldOfColumn(column), value.toInt() == Qt::Checked ? 1 : 0);
    } else if (role != Qt::EditRole || !SetCell(row, column, value.toString())) {
        return false;
    }
    FieldChanged(index.row(), FieldOfColumn(column));
    return true;
}

// A typed time or distance becomes the tap's delay; a position its number.
bool TDelayGridModel::SetCell(TDelayRow& row, int column, const QString& text) {
    const std::string typed = text.toStdString();
    switch (column) {
        case c::kTime:
            row.comm->Set(TapField::kDelay, DelayOfCellText(typed, row.comm->DelaySteps()));
            return true;
        case c::kDistance:
            row.comm->Set(TapField::kDelay,
                          DelayOfDistance(ParseTypedNumber(typed), factor_, unit_));
            return true;
        default:
            row.comm->Set(FieldOfColumn(column), std::round(ParseTypedNumber(typed)));
            return true;
    }
}

void TDelayGridModel::SetUnit(TDistanceUnit unit) {
    unit_ = unit;
    factor_ = DistanceFactor(kDelayTemperature, unit);
    if (!rows_.empty())
        emit dataChanged(index(0, c::kDistance), index(rowCount() - 1, c::kDistance));
}

void TDelayGridModel::FieldChanged(int row, TapField field) {
    if (field == TapField::kDelay) {
        emit dataChanged(index(row, c::kTime), index(row, c::kDistance));
        return;
    }
    static constexpr int kColumnOf[] = {c::kTime,    c::kMute,    c::kCalc,  c::kTargetX,
                                        c::kTargetY, c::kTargetZ, c::kOffset};
    const int column = kColumnOf[static_cast<size_t>(field)];
    emit dataChanged(index(row, column), index(row, column));
}

}  // namespace objscope::audio
