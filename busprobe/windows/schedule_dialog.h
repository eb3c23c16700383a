// TfrmSchedule ("Capture Schedule"): the grid of scheduled captures. OK
// checks and normalises the times, refuses filters that are no address or
// ID and asks for a log file per row; emptied rows are dropped.
#pragma once

#include <QDialog>
#include <QTableWidget>
#include <vector>

#include "prompter.h"
#include "schedule_items.h"

namespace busprobe {

class TfrmSchedule : public QDialog {
    Q_OBJECT

  public:
    TfrmSchedule(Prompter& prompter, std::string iniFile, QWidget* parent = nullptr);

    std::vector<ScheduleRow> rows() const;
    // Fills the grid (at least one data row stays).
    void setRows(const std::vector<ScheduleRow>& rows);

    QTableWidget* grid() const { return grid_; }

  public slots:
    void addRow();
    void deleteRow();
    void okClicked();

  private:
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // Normalises the time cell; false after the warning when it is no time.
    bool normaliseTime(int row, int column, int& seconds);
    void chooseLogFile(int row, int column);
    // The first six cells are all empty: the row is left out.
    bool rowIsEmpty(int row) const;
    // Normalises the row's times and checks its filters and log file; false
    // after the warning.
    bool checkRow(int row);

    Prompter& prompter_;
    std::string iniFile_;
    QTableWidget* grid_ = nullptr;
};

}  // namespace busprobe
