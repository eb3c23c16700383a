#include "devicewin/tfrm_eob_test.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "devicewin/record_table_model.h"
#include "protocol/more_follows_pager.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_status.h"
#include "values/integer_literal.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"

namespace objscope {
namespace {

constexpr int kRowHeight = 20;
constexpr int kPointColumnWidth = 200;
constexpr int kResultColumnWidth = 100;

std::string ResultCell(const RecordBytes& bytes, int column) {
    auto record = readEobResultRecord(bytes);
    if (!record)
        return {};
    switch (column) {
        case 0:
            return std::to_string(record->channel);
        case 1:
            return std::to_string(record->branch);
        case 2:
            return EobDbText(record->setValue);
        case 3:
            return EobDbText(record->lastReading);
        case 4:
            return std::to_string(record->lastResult);
        case 5:
            return std::to_string(record->filteredResult);
        case 6:
            return std::to_string(record->faultCount);
        case 7:
            return std::to_string(record->successiveFaults);
        default:
            return {};
    }
}

QString GridText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

TfrmEOBTest::TfrmEOBTest(TDeviceRequests& requests, QWidget* parent)
    : QWidget(parent, Qt::Window), requests_(requests) {
    setObjectName("frmEOBTest");
    setWindowTitle(kEobTestCaption);
    BuildLayout();
}

void TfrmEOBTest::BuildLayout() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName("pgcEOB");

    auto* pointsPage = new QWidget(pages_);
    pointsPage->setObjectName("tabEOBPoints");
    auto* read = Button("btnReadPoints", "Read EOB Points", nullptr, pointsPage);
    auto* add = Button("btnAddPoint", "+ Add Point (Row) to Grid", nullptr, pointsPage);
    auto* del = Button("btnDelPoint", "- Del Point (Row)", nullptr, pointsPage);
    auto* write = Button("btnWritePoints", "Write/Send EOB Points", nullptr, pointsPage);
    gridPointData_ = new QTableWidget(2, 4, pointsPage);
    gridPointData_->setObjectName("gridPointData");
    gridPointData_->horizontalHeader()->setDefaultSectionSize(kPointColumnWidth);
    gridPointData_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    gridPointData_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* pointButtons = new QHBoxLayout;
    for (QPushButton* button : {read, add, del, write})
        pointButtons->addWidget(button);
    auto* pointsLayout = new QVBoxLayout(pointsPage);
    pointsLayout->addLayout(pointButtons);
    pointsLayout->addWidget(gridPointData_, 1);
    pages_->addTab(pointsPage, "EOB Points");

    auto* resultsPage = new QWidget(pages_);
    resultsPage->setObjectName("tabEOBResults");
    edtChannelNumber_ = new QLineEdit(resultsPage);
    edtChannelNumber_->setObjectName("edtChannelNumber");
    edtChannelNumber_->setMaximumWidth(80);
    auto* channel = new QLabel("Channel", resultsPage);
    channel->setBuddy(edtChannelNumber_);
    auto* retrieve = Button("btnRetrieveResults", "Retrieve Results", nullptr, resultsPage);
    auto* flush = Button("btnFlushAll", "Flush All Results", nullptr, resultsPage);
    lblTestActive_ = new QLabel("Test Active", resultsPage);
    lblTestActive_->setObjectName("lblTestActive");
    lblTestActive_->setStyleSheet("QLabel { background: yellow; padding: 2px 6px; }");
    lblTestActive_->hide();
    results_ = new TRecordTableModel(this);
    gridTestResults_ = new QTableView(resultsPage);
    gridTestResults_->setObjectName("gridTestResults");
    gridTestResults_->setModel(results_);
    gridTestResults_->horizontalHeader()->setDefaultSectionSize(kResultColumnWidth);
    gridTestResults_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    auto* resultButtons = new QHBoxLayout;
    resultButtons->addWidget(channel);
    resultButtons->addWidget(edtChannelNumber_);
    resultButtons->addWidget(retrieve);
    resultButtons->addWidget(flush);
    resultButtons->addStretch();
    resultButtons->addWidget(lblTestActive_);
    auto* resultsLayout = new QVBoxLayout(resultsPage);
    resultsLayout->addLayout(resultButtons);
    resultsLayout->addWidget(gridTestResults_, 1);
    pages_->addTab(resultsPage, "EOB Test Results");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    resize(880, 440);

    connect(read, &QPushButton::clicked, this, &TfrmEOBTest::ReadPoints);
    connect(add, &QPushButton::clicked, this, &TfrmEOBTest::AddPoint);
    connect(del, &QPushButton::clicked, this, &TfrmEOBTest::DeletePoint);
    connect(write, &QPushButton::clicked, this, &TfrmEOBTest::WritePoints);
    connect(retrieve, &QPushButton::clicked, this, &TfrmEOBTest::RetrieveResults);
    connect(flush, &QPushButton::clicked, this, &TfrmEOBTest::FlushAllResults);
}

void TfrmEOBTest::SetAddresses(const TarnAddress& testManager, const TarnAddress& eobTable) {
    testManager_ = testManager;
    eobTable_ = eobTable;
}

void TfrmEOBTest::SetPointHeaders(bool read) {
    gridPointData_->setHorizontalHeaderLabels(
        {"Test Point ID", "Branch #", "EOB Dev Address", read ? "Set Value (dB)" : "Set Value"});
}

void TfrmEOBTest::SetResultHeaders(bool read) {
    results_->SetHeaders({"Channel ID", "Branch #", "Set Value (dB)",
                          read ? "Last Reading (dB)" : "Last Reading", "Last Result",
                          "Filtered Result", "Fault Count", "Successive Faults"});
}

void TfrmEOBTest::showEvent(QShowEvent* event) {
    gridPointData_->clearContents();
    gridPointData_->setRowCount(1);
    SetPointHeaders(false);
    SetResultHeaders(false);
    results_->Clear(1);
    lblTestActive_->hide();
    pages_->setCurrentIndex(0);
    QWidget::showEvent(event);
}

void TfrmEOBTest::FillPoints(const std::vector<EobPointRecord>& points) {
    gridPointData_->clearContents();
    gridPointData_->setRowCount(static_cast<int>(points.size()) + 1);  // a spare row below
    SetPointHeaders(true);
    for (size_t r = 0; r < points.size(); ++r) {
        EobRowTexts row = EobRowFor(points[r]);
        const std::string* cells[] = {&row.point, &row.branch, &row.address, &row.setValue};
        for (int c = 0; c < 4; ++c)
            gridPointData_->setItem(static_cast<int>(r), c,
                                    new QTableWidgetItem(QString::fromStdString(*cells[c])));
    }
}

void TfrmEOBTest::ReadPoints() {
    std::vector<uint8_t> block;
    PagerOutcome read = ReadDataBlock(
        [this](std::span<const uint8_t> payload, std::vector<uint8_t>& reply) {
            return requests_.ActivateMethod(eobTable_, kMethodReadDataBlock,
                                            {payload.begin(), payload.end()}, reply, true);
        },
        [&block](uint16_t offset, std::span<const uint8_t> bytes) {
            if (block.size() < offset + bytes.size())
                block.resize(offset + bytes.size(), 0);
            std::copy(bytes.begin(), bytes.end(), block.begin() + offset);
        });
    if (read.end == PagerEnd::Failed) {
        ShowError(this, "Error Getting EOB data\rError: " + StatusText(read.status));
        return;
    }
    FillPoints(EobPointsFromBlock(block));
    if (read.end != PagerEnd::Complete)
        ShowMessage(this, "The table's data did not come to an end; the points of the first " +
                              std::to_string(block.size()) + " bytes are shown");
}

void TfrmEOBTest::AddPoint() {
    gridPointData_->setRowCount(gridPointData_->rowCount() + 1);
}

void TfrmEOBTest::DeletePoint() {
    int row = gridPointData_->currentRow();
    // The spare row below the points stays.
    if (row < 0 || gridPointData_->rowCount() <= 1)
        return;
    gridPointData_->removeRow(row);
    if (gridPointData_->rowCount() == 0)
        gridPointData_->setRowCount(1);
}

std::vector<EobRowTexts> TfrmEOBTest::PointRows() const {
    std::vector<EobRowTexts> rows;
    for (int r = 0; r + 1 < gridPointData_->rowCount(); ++r) {
        rows.push_back({GridText(gridPointData_, r, 0).toStdString(),
                        GridText(gridPointData_, r, 1).toStdString(),
                        GridText(gridPointData_, r, 2).toStdString(),
                        GridText(gridPointData_, r, 3).toStdString()});
    }
    return rows;
}

void TfrmEOBTest::WritePoints() {
    EobRowsResult rows = EobRecordsFromRows(PointRows());
    if (!rows.ok()) {
        ShowError(this, rows.error + "\rNothing was sent");
        return;
    }
    size_t written = 0;
    for (const auto& chunk : EobWriteChunks(rows.records)) {
        // A chunk of at most 50 records always fits a write.
        auto payload = dataBlockWritePayload(chunk.offset, chunk.bytes);
        std::vector<uint8_t> reply;
        int32_t result =
            requests_.ActivateMethod(eobTable_, kMethodWriteDataBlock, *payload, reply, true);
        if (result != 0) {
            size_t points = std::min(written, rows.records.size());
            ShowError(this, "Error Writing EOB data\rError: " + StatusText(result) + "\r" +
                                std::to_string(points) + " of " +
                                std::to_string(rows.records.size()) + " points were written");
            break;
        }
        written += chunk.records;
    }
    FillPoints(rows.records);
}

bool TfrmEOBTest::CheckTestManager() {
    if (testManager_.obj != 0)
        return true;
    ShowError(this, "No Test Manager object was listed for this device");
    return false;
}

void TfrmEOBTest::RetrieveResults() {
    if (!CheckTestManager())
        return;
    int64_t channel = IntegerLiteral(edtChannelNumber_->text().trimmed().toStdString()).value_or(0);
    SetResultHeaders(true);
    results_->Clear(1);
    std::vector<RecordBytes> records;
    uint16_t statusWord = 0;
    PagerOutcome read = RunPager([&](uint16_t start) -> PagerStep {
        std::vector<uint8_t> reply;
        int32_t result = requests_.ActivateMethod(
            testManager_, kMethodEobResults,
            eobResultsPayload(start, static_cast<uint16_t>(channel)), reply, true);
        if (result != 0 && result != kMoreFollowsStatus)
            return {result, 0};
        auto page = decodeEobResultsPage(reply);
        if (!page)
            return {result, 0};
        statusWord = page->statusWord;
        for (const auto& record : page->records) {
            RecordBytes bytes;
            appendRecord(bytes, record);
            records.push_back(std::move(bytes));
        }
        return {result, page->records.size()};
    });
    if (read.end == PagerEnd::Failed) {
        ShowError(this, "Error Getting EOB test results\rError: " + StatusText(read.status));
        return;
    }
    size_t count = records.size();
    results_->SetRecords(std::move(records), ResultCell, count == 0 ? 1 : 0);
    lblTestActive_->setVisible((statusWord & kEobTestActive) != 0);
    if (read.end != PagerEnd::Complete)
        ShowMessage(this, "The results did not come to an end; the first " +
                              std::to_string(count) + " are shown");
}

void TfrmEOBTest::FlushAllResults() {
    if (!CheckTestManager())
        return;
    if (!ConfirmYes(this,
                    "This will Wipe Out all Results in the Corvan frame\r\r"
                    "                Proceed?"))
        return;
    std::vector<uint8_t> reply;
    int32_t result =
        requests_.ActivateMethod(testManager_, kMethodEobFlush, eobFlushPayload(), reply, true);
    if (result < 0)
        ShowError(this, "Error Clearing EOB data\rError: " + StatusText(result));
    else
        ShowMessage(this, "Flush EOB Results Message Sent");
}

}  // namespace objscope
