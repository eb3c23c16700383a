#include "devicewin/tfrm_test_mgr.h"

#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "devicewin/record_table_model.h"
#include "devicewin/test_record_text.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_method_records.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_status.h"
#include "values/integer_literal.h"
#include "values/property_number_text.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"

namespace objscope {
namespace {

constexpr int kColumnWidths[] = {93, 88, 91, 138, 96, 99};
constexpr int kRowHeight = 20;
constexpr uint16_t kContinuousTest = 0x20;

uint16_t Number16(const QLineEdit* box) {
    int64_t value = IntegerLiteral(box->text().trimmed().toStdString()).value_or(0);
    return static_cast<uint16_t>(value);
}

QLineEdit* Field(const char* name, const char* text, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    return field;
}

QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

std::string DateText(const PackedDateTime& when) {
    return SystemDateTimeText(when.year, when.month, when.day, when.hour, when.minute, when.second);
}

}  // namespace

std::string SystemDateTimeText(int year, int month, int day, int hour, int minute, int second) {
    QLocale locale = QLocale::system();
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(QLatin1Char('t')).replace("  ", " ");
    QString text = locale.toString(QDate(year, month, day), QLocale::ShortFormat) + " " +
                   QTime(hour, minute, second).toString(time.trimmed());
    return text.trimmed().toStdString();
}

TfrmTestMgr::TfrmTestMgr(TDeviceRequests& requests, QWidget* parent)
    : QWidget(parent, Qt::Window), requests_(requests) {
    setObjectName("frmTestMgr");
    setWindowTitle(kTestMgrCaption);
    BuildLayout();
}

QWidget* TfrmTestMgr::BuildCircuitPanel() {
    pnlCircuitTest_ = new QFrame(this);
    pnlCircuitTest_->setObjectName("pnlCircuitTest");
    pnlCircuitTest_->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(pnlCircuitTest_);
    edtTestPoint_ = Field("edtTestPoint", "1", pnlCircuitTest_);
    edtSettingCode_ = Field("edtSettingCode", "1", pnlCircuitTest_);
    edtTestMode_ = Field("edtTestMode", "$0030", pnlCircuitTest_);
    lblSettingCode_ = Caption("Test Setting Code: ", edtSettingCode_, pnlCircuitTest_);
    lblSettingCode_->installEventFilter(this);
    layout->addWidget(Caption("Point Number to Test:", edtTestPoint_, pnlCircuitTest_), 0, 0);
    layout->addWidget(edtTestPoint_, 0, 1);
    layout->addWidget(lblSettingCode_, 1, 0);
    layout->addWidget(edtSettingCode_, 1, 1);
    layout->addWidget(Caption("Test Mode Flags:", edtTestMode_, pnlCircuitTest_), 2, 0);
    layout->addWidget(edtTestMode_, 2, 1);
    auto* run = Button("btnRunTest", "&Run Test", nullptr, pnlCircuitTest_);
    auto* cancel = Button("btnCancelCircuit", "Cancel", nullptr, pnlCircuitTest_);
    layout->addWidget(run, 3, 0);
    layout->addWidget(cancel, 3, 1);
    connect(run, &QPushButton::clicked, this, &TfrmTestMgr::RunTest);
    connect(cancel, &QPushButton::clicked, this, &TfrmTestMgr::CancelPanels);
    return pnlCircuitTest_;
}

QWidget* TfrmTestMgr::BuildResultsPanel() {
    pnlResults_ = new QFrame(this);
    pnlResults_->setObjectName("pnlResults");
    pnlResults_->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QGridLayout(pnlResults_);
    auto* group = new QGroupBox(pnlResults_);
    group->setObjectName("rbgSeqSerial");
    auto* groupLayout = new QHBoxLayout(group);
    rbSequence_ = new QRadioButton("Sequence", group);
    rbSequence_->setObjectName("rbSequence");
    rbSerial_ = new QRadioButton("Serial #", group);
    rbSerial_->setObjectName("rbSerial");
    rbSequence_->setChecked(true);
    groupLayout->addWidget(rbSequence_);
    groupLayout->addWidget(rbSerial_);
    edtSeqSerial_ = Field("edtSeqSerial", "1", pnlResults_);
    btnGetEm_ = Button("btnGetEm", "Get 'em", nullptr, pnlResults_);
    btnFlushEm_ = Button("btnFlushEm", "Flush 'em", nullptr, pnlResults_);
    auto* cancel = Button("btnCancelResults", "Cancel", nullptr, pnlResults_);
    layout->addWidget(group, 0, 0, 1, 3);
    layout->addWidget(edtSeqSerial_, 1, 0, 1, 3);
    layout->addWidget(btnGetEm_, 2, 0);
    layout->addWidget(btnFlushEm_, 2, 1);
    layout->addWidget(cancel, 2, 2);
    connect(btnGetEm_, &QPushButton::clicked, this, &TfrmTestMgr::GetEm);
    connect(btnFlushEm_, &QPushButton::clicked, this, &TfrmTestMgr::FlushEm);
    connect(cancel, &QPushButton::clicked, this, &TfrmTestMgr::CancelPanels);
    return pnlResults_;
}

void TfrmTestMgr::BuildLayout() {
    cboTestSeqs_ = new QComboBox(this);
    cboTestSeqs_->setObjectName("cboTestSeqs");
    cboTestSeqs_->setEditable(true);
    cboTestSeqs_->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 1; i <= 8; ++i)
        cboTestSeqs_->addItem(QString::number(i));
    struct ButtonSpec {
        const char* name;
        const char* caption;
        void (TfrmTestMgr::*operation)();
    };
    const ButtonSpec specs[] = {
        {"btnStopTest", "Sto&p Test", &TfrmTestMgr::StopTest},
        {"btnSeqSet", "Seq. &Set", &TfrmTestMgr::SeqSet},
        {"btnSeqTest", "Seq. &Test", &TfrmTestMgr::SeqTest},
        {"btnCircuitTest", "&Circuit Test", &TfrmTestMgr::CircuitTest},
        {"btnGetTests", "&Get Tests", &TfrmTestMgr::GetTests},
        {"btnGetResults", "Get &Results", &TfrmTestMgr::GetResults},
        {"btnFlushResults", "&Flush Results", &TfrmTestMgr::FlushResults},
    };
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(Caption("Test Seq. #", cboTestSeqs_, this));
    buttonColumn->addWidget(cboTestSeqs_);
    for (size_t i = 0; i < 7; ++i) {
        buttons_[i] = Button(specs[i].name, specs[i].caption, nullptr, this);
        connect(buttons_[i], &QPushButton::clicked, this, specs[i].operation);
        buttonColumn->addWidget(buttons_[i]);
    }
    buttonColumn->addWidget(BuildCircuitPanel());
    buttonColumn->addWidget(BuildResultsPanel());
    buttonColumn->addStretch();

    model_ = new TRecordTableModel(this);
    gridResults_ = new QTableView(this);
    gridResults_->setObjectName("gridResults");
    gridResults_->setModel(model_);
    gridResults_->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridResults_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    gridResults_->verticalHeader()->hide();
    gridResults_->setMinimumWidth(620);
    connect(gridResults_, &QTableView::clicked, this, [this] {
        if (pnlCircuitTest_->isVisible())
            CancelPanels();
    });

    edtSerialNo_ = Field("edtSerialNo", "", this);
    edtModeFlags_ = Field("edtModeFlags", "", this);
    edtTestDateTime_ = Field("edtTestDateTime", "", this);
    edtNumRecords_ = Field("edtNumRecords", "", this);
    auto* boxes = new QHBoxLayout;
    const std::pair<const char*, QLineEdit*> boxSpecs[] = {{"Serial #:", edtSerialNo_},
                                                           {"Mode Flags:", edtModeFlags_},
                                                           {"Test Date/Time:", edtTestDateTime_},
                                                           {"# Records:", edtNumRecords_}};
    for (const auto& [caption, box] : boxSpecs) {
        box->setReadOnly(true);
        boxes->addWidget(Caption(caption, box, this));
        boxes->addWidget(box, box == edtTestDateTime_ ? 2 : 1);
    }
    auto* gridColumn = new QVBoxLayout;
    gridColumn->addLayout(boxes);
    gridColumn->addWidget(gridResults_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttonColumn);
    layout->addLayout(gridColumn, 1);
    resize(900, 460);
}

int TfrmTestMgr::VisibleRows() const {
    int height = gridResults_->viewport()->height();
    return std::max(1, height / kRowHeight);
}

void TfrmTestMgr::showEvent(QShowEvent* event) {
    SetButtonsEnabled(true);
    pnlCircuitTest_->hide();
    pnlResults_->hide();
    model_->SetHeaders({});
    model_->Clear(VisibleRows() + 1);
    QWidget::showEvent(event);
}

bool TfrmTestMgr::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblSettingCode_ && event->type() == QEvent::MouseButtonRelease)
        CircuitTest();
    return QWidget::eventFilter(watched, event);
}

void TfrmTestMgr::SetButtonsEnabled(bool on) {
    for (QPushButton* button : buttons_)
        button->setEnabled(on);
}

void TfrmTestMgr::CancelPanels() {
    SetButtonsEnabled(true);
    pnlCircuitTest_->hide();
    pnlResults_->hide();
}

void TfrmTestMgr::ClearBoxes() {
    for (QLineEdit* box : {edtSerialNo_, edtModeFlags_, edtTestDateTime_, edtNumRecords_})
        box->clear();
}

void TfrmTestMgr::ClearGrid(const char* const* headers) {
    QStringList texts;
    for (int i = 0; i < 6; ++i)
        texts << headers[i];
    model_->SetHeaders(texts);
    model_->Clear(VisibleRows() + 1);
    for (int i = 0; i < 6; ++i)
        gridResults_->setColumnWidth(i, kColumnWidths[i]);
    // The date and time of the system's formats may be wider than the
    // column's design width.
    QString widest = QString::fromStdString(SystemDateTimeText(2026, 12, 28, 23, 58, 58));
    gridResults_->setColumnWidth(
        3, std::max(kColumnWidths[3], gridResults_->fontMetrics().horizontalAdvance(widest) + 16));
}

uint16_t TfrmTestMgr::Sequence() const {
    int64_t value = IntegerLiteral(cboTestSeqs_->currentText().trimmed().toStdString()).value_or(0);
    return static_cast<uint16_t>(value);
}

void TfrmTestMgr::StopTest() {
    int32_t result = requests_.StopTest(address_, Sequence());
    if (result < 0)
        ShowError(this, ">>> Error Stopping Test >>>\r\r" + StatusText(result));
}

void TfrmTestMgr::StartSequence(uint16_t modeWord, const char* started) {
    uint16_t sequence = Sequence();
    if (sequence == 0) {
        ShowError(this, "Invalid Test Sequence Number (" + std::to_string(sequence) + ")");
        return;
    }
    uint16_t serial = 0;
    int32_t result = requests_.StartSequence(address_, modeWord, sequence, serial);
    if (result < 0) {
        ShowError(this, ">>> Error Starting Sequence >>>\r\r" + StatusText(result));
        return;
    }
    if (result > 0) {
        ShowError(this, ">>> The Device Refused the Sequence >>>\r\r" + StatusText(result));
        return;
    }
    if (serial > 0)
        ShowMessage(this, started + std::to_string(serial));
}

void TfrmTestMgr::SeqSet() {
    StartSequence(kSequenceModeSet, "Set started.  Serial  No: ");
}

void TfrmTestMgr::SeqTest() {
    StartSequence(kSequenceModeStart, "Test started.  Serial  No: ");
}

void TfrmTestMgr::CircuitTest() {
    SetButtonsEnabled(false);
    pnlResults_->hide();
    pnlCircuitTest_->show();
    edtTestPoint_->setFocus();
}

void TfrmTestMgr::RunTest() {
    CancelPanels();
    uint16_t point = Number16(edtTestPoint_);
    uint16_t setting = Number16(edtSettingCode_);
    uint16_t mode = Number16(edtTestMode_);
    if (point == 0) {
        ShowError(this, "Invalid test Point ID entered (" + std::to_string(point) + ")");
        return;
    }
    uint16_t serial = 0;
    int32_t result = requests_.RunCircuitTest(address_, mode, Sequence(), setting, point, serial);
    if (result != 0) {
        ShowError(this, ">>> Error Running Circuit Test >>>\r\r" + StatusText(result));
        return;
    }
    if (mode & kContinuousTest)
        ShowMessage(this, "Continuous Circuit Test Running\rUse \"Stop Test\" to end test");
}

void TfrmTestMgr::ReportCut(int32_t status, size_t records) {
    // The page cap ended the reading while the device still had more.
    if (status == kStatusPartialResponse)
        ShowMessage(this,
                    "The device holds more records than the " + std::to_string(records) + " shown");
}

void TfrmTestMgr::GetTests() {
    ClearGrid(kTestColumns);
    ClearBoxes();
    TTestRecords records;
    int32_t result = requests_.GetTestList(address_, 0, records);
    if (result < 0) {
        ShowError(this, ">>> Error Retrieving Tests >>>\r\r" + StatusText(result));
        return;
    }
    size_t count = records.records.size();
    model_->SetRecords(
        std::move(records.records),
        [](const RecordBytes& record, int column) {
            return TestRecordCell(record, column, DateText);
        },
        count == 0 ? VisibleRows() + 1 : 0);
    edtNumRecords_->setText(QString::number(count));
    gridResults_->scrollToTop();
    ReportCut(result, count);
}

void TfrmTestMgr::GetResults() {
    ClearGrid(kResultColumns);
    ClearBoxes();
    SetButtonsEnabled(false);
    pnlCircuitTest_->hide();
    btnGetEm_->show();
    btnFlushEm_->hide();
    pnlResults_->show();
}

void TfrmTestMgr::FlushResults() {
    SetButtonsEnabled(false);
    pnlCircuitTest_->hide();
    btnGetEm_->hide();
    btnFlushEm_->show();
    pnlResults_->show();
}

uint16_t TfrmTestMgr::ResultsSelector() const {
    return rbSequence_->isChecked() ? kResultsBySequence : 0;
}

void TfrmTestMgr::GetEm() {
    CancelPanels();
    TTestRecords records;
    int32_t result =
        requests_.GetTestResults(address_, ResultsSelector(), Number16(edtSeqSerial_), 0, records);
    if (result < 0) {
        ShowError(this, ">>> Error Retrieving Test Results >>>\r\r" + StatusText(result));
        return;
    }
    size_t count = records.records.size();
    model_->SetRecords(std::move(records.records), TestResultCell,
                       count == 0 ? VisibleRows() + 1 : 0);
    if (auto header = readTestResultHeader(records.header)) {
        edtSerialNo_->setText(QString::number(header->serial));
        edtModeFlags_->setText(
            QString::fromStdString("$" + HexWithoutLeadingZeros(header->modeFlags)));
        edtTestDateTime_->setText(
            QString::fromStdString(DateText(UnpackDateTime(header->dateTime))));
    }
    edtNumRecords_->setText(QString::number(count));
    gridResults_->scrollToTop();
    ReportCut(result, count);
}

void TfrmTestMgr::FlushEm() {
    CancelPanels();
    uint16_t number = Number16(edtSeqSerial_);
    int32_t result = requests_.FlushResults(address_, ResultsSelector(), number);
    if (result < 0)
        ShowError(this, ">>> Error Flushing Results (" + std::to_string(result) + ") >>>");
    else
        ShowMessage(this, "Results flushed for Sequence/Serial #: " + std::to_string(number));
}

}  // namespace objscope
