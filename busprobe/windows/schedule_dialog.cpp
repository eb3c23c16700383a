#include "schedule_dialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

#include "clock.h"
#include "platform/ini.h"
#include "schedule_checks.h"

namespace busprobe {
namespace {

constexpr int kColumnWidths[kScheduleColumns] = {100, 76, 73, 72, 70, 244, 81};
const char* const kHeaders[kScheduleColumns] = {
    "Start Time", "Stop Time", "IP", "Object ID", "Message ID", "Log File Name", "Simple Log"};
const QString kLogFilter = QStringLiteral("VEK Network Log (*.LOG)|*.LOG|All Files (*.*)|*.*");

}  // namespace

TfrmSchedule::TfrmSchedule(Prompter& prompter, std::string iniFile, QWidget* parent)
    : QDialog(parent), prompter_(prompter), iniFile_(std::move(iniFile)) {
    setObjectName(QStringLiteral("frmSchedule"));
    setWindowTitle(QStringLiteral("Capture Schedule"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(
        QStringLiteral("Scheduled Logging is Disabled While Schedule Window is Open"), this);
    note->setObjectName(QStringLiteral("lblDisabled"));
    layout->addWidget(note);
    grid_ = new QTableWidget(1, kScheduleColumns, this);
    grid_->setObjectName(QStringLiteral("sgrSchedule"));
    QStringList headers;
    for (size_t i = 0; i < kScheduleColumns; ++i) {
        headers << QString::fromLatin1(kHeaders[i]);
        grid_->setColumnWidth(static_cast<int>(i), kColumnWidths[i]);
    }
    grid_->setHorizontalHeaderLabels(headers);
    grid_->verticalHeader()->setVisible(false);
    grid_->setMinimumWidth(760);
    connect(grid_, &QTableWidget::cellClicked, this, &TfrmSchedule::chooseLogFile);
    layout->addWidget(grid_);
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, const char*> names[] = {
        {"btnAdd", "&Add"}, {"btnDelete", "&Delete"}, {"btnOK", "&OK"}};
    for (const auto& [name, caption] : names) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(findChild<QPushButton*>(QStringLiteral("btnAdd")), &QPushButton::clicked, this,
            &TfrmSchedule::addRow);
    connect(findChild<QPushButton*>(QStringLiteral("btnDelete")), &QPushButton::clicked, this,
            &TfrmSchedule::deleteRow);
    connect(findChild<QPushButton*>(QStringLiteral("btnOK")), &QPushButton::clicked, this,
            &TfrmSchedule::okClicked);
}

QString TfrmSchedule::cell(int row, int column) const {
    QTableWidgetItem* item = grid_->item(row, column);
    return item != nullptr ? item->text().trimmed() : QString();
}

void TfrmSchedule::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = grid_->item(row, column);
    if (item == nullptr) {
        grid_->setItem(row, column, new QTableWidgetItem(text));
    } else {
        item->setText(text);
    }
}

std::vector<ScheduleRow> TfrmSchedule::rows() const {
    std::vector<ScheduleRow> rows;
    for (int r = 0; r < grid_->rowCount(); ++r) {
        ScheduleRow row;
        for (size_t c = 0; c < kScheduleColumns; ++c) {
            row[c] = cell(r, static_cast<int>(c)).toStdString();
        }
        rows.push_back(row);
    }
    return rows;
}

void TfrmSchedule::setRows(const std::vector<ScheduleRow>& rows) {
    grid_->setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
    for (int r = 0; r < grid_->rowCount(); ++r) {
        for (size_t c = 0; c < kScheduleColumns; ++c) {
            setCell(r, static_cast<int>(c),
                    r < static_cast<int>(rows.size())
                        ? QString::fromStdString(rows[static_cast<size_t>(r)][c])
                        : QString());
        }
    }
}

void TfrmSchedule::addRow() {
    grid_->insertRow(grid_->rowCount());
}

void TfrmSchedule::deleteRow() {
    int last = grid_->rowCount() - 1;
    for (int c = 0; c < kColSimple; ++c) {
        setCell(last, c, QString());
    }
    if (grid_->rowCount() > 1) {
        grid_->removeRow(last);
    }
}

void TfrmSchedule::chooseLogFile(int row, int column) {
    if (column != kColLogFile) {
        return;
    }
    QString name = prompter_.openFileName(this, QStringLiteral("Open Network Capture Log File"),
                                          kLogFilter, QStringLiteral(".LOG"));
    if (!name.isEmpty()) {
        setCell(row, column, name);
    }
}

bool TfrmSchedule::normaliseTime(int row, int column, int& seconds) {
    QString text = QString::fromStdString(insertTimeColon(cell(row, column).toStdString()));
    setCell(row, column, text);
    auto parsed = parseTimeOfDay(text.toStdString());
    if (!parsed) {
        grid_->setCurrentCell(row, column);
        prompter_.warn(this,
                       QStringLiteral("Invalid Time Format. HH:MM:SS AM/PM (:SS Optional) or "
                                      "HH:MM (Military)"),
                       windowTitle());
        return false;
    }
    seconds = *parsed;
    return true;
}

bool TfrmSchedule::rowIsEmpty(int row) const {
    for (int c = 0; c < kColSimple; ++c) {
        if (!cell(row, c).isEmpty()) {
            return false;
        }
    }
    return true;
}

bool TfrmSchedule::checkRow(int r) {
    bool hasStart = !cell(r, kColStart).isEmpty();
    bool hasStop = !cell(r, kColStop).isEmpty();
    int start = 0;
    int stop = 0;
    if (hasStart && !normaliseTime(r, kColStart, start)) {
        return false;
    }
    if (hasStop && !normaliseTime(r, kColStop, stop)) {
        return false;
    }
    // A row without times is always active; otherwise the stop must lie
    // after the start. The time is written in the one format the schedule
    // reads back, whatever the locale's own separator.
    if ((hasStart || hasStop) && stop <= start) {
        setCell(r, kColStop, QStringLiteral("23:59"));
    }
    ScheduleRow row = rows()[static_cast<size_t>(r)];
    std::string problem = scheduleFilterProblem(row);
    if (!problem.empty()) {
        int column = !isIpFilterText(row[kColIp])       ? kColIp
                     : !isIdFilterText(row[kColObject]) ? kColObject
                                                        : kColMessage;
        grid_->setCurrentCell(r, column);
        prompter_.warn(this,
                       QStringLiteral("Row %1 %2.").arg(r + 1).arg(QString::fromStdString(problem)),
                       windowTitle());
        return false;
    }
    if (cell(r, kColLogFile).isEmpty()) {
        grid_->setCurrentCell(r, kColLogFile);
        prompter_.warn(this, QStringLiteral("You must specify a log file."), windowTitle());
        return false;
    }
    return true;
}

void TfrmSchedule::okClicked() {
    // An emptied row is removed on its own; the others are checked in order
    // and the dialog stays open at the first that cannot be used. With every
    // row empty the schedule is cleared.
    for (int r = 0; r < grid_->rowCount(); ++r) {
        if (!rowIsEmpty(r) && !checkRow(r)) {
            return;
        }
    }
    for (int r = grid_->rowCount() - 1; r >= 0 && grid_->rowCount() > 1; --r) {
        if (rowIsEmpty(r)) {
            grid_->removeRow(r);
        }
    }
    accept();
}

}  // namespace busprobe
