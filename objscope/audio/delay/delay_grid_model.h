// The rows of the delay grid: one per tap, its number, name, delay as time
// and as distance, mute, and for auto-calculating taps the calculation flag,
// target position and offset. Cells are made when shown, from the tap's
// binding objects; an edit is sent through them at once, and a value that
// arrives repaints only the cells it shows in.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "audio/delay/delay_distance.h"
#include "audio/delay/delay_tap_comm.h"

namespace objscope::audio {

namespace delay_column {
inline constexpr int kNumber = 0;
inline constexpr int kName = 1;
inline constexpr int kTime = 2;
inline constexpr int kDistance = 3;
inline constexpr int kMute = 4;
inline constexpr int kCalc = 5;
inline constexpr int kTargetX = 6;
inline constexpr int kTargetY = 7;
inline constexpr int kTargetZ = 8;
inline constexpr int kOffset = 9;
inline constexpr int kCount = 10;
}  // namespace delay_column

// The header texts of the grid's columns.
QStringList DelayGridHeaders();

struct TDelayRow {
    QString name;
    TDelayTapComm* comm = nullptr;
};

class TDelayGridModel : public QAbstractTableModel {
  public:
    TDelayGridModel(std::vector<TDelayRow> rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    TDistanceUnit Unit() const { return unit_; }
    // Rewrites every row's distance in the new unit.
    void SetUnit(TDistanceUnit unit);
    double Factor() const { return factor_; }
    void SetEditable(bool on) { editable_ = on; }
    // A tap's value arrived: the cells that show it are repainted.
    void FieldChanged(int row, TapField field);

  private:
    QString CellText(const TDelayRow& row, int column) const;
    bool SetCell(TDelayRow& row, int column, const QString& text);

    std::vector<TDelayRow> rows_;
    TDistanceUnit unit_ = TDistanceUnit::kFeet;
    double factor_;
    bool editable_ = true;
};

}  // namespace objscope::audio
