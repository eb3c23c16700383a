#include "devicewin/tfrm_view_blob.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <fstream>

#include "devicewin/blob_rows_model.h"
#include "devicewin/object_set_download.h"
#include "devicewin/object_set_upload.h"
#include "protocol/more_follows_pager.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_status.h"
#include "values/property_typed_values.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"

namespace objscope {
namespace {

constexpr int32_t kTimeOut = -2;
constexpr uint16_t kEntriesProperty = 3072;
constexpr uint16_t kEntrySizeProperty = 3073;
constexpr int kRowHeight = 20;

int Percent(size_t part, size_t whole) {
    return whole == 0 ? 100 : static_cast<int>((part * 100 + whole / 2) / whole);
}

}  // namespace

TfrmViewBLOB::TfrmViewBLOB(TDeviceRequests& requests, uint16_t classId, const TarnAddress& address,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      requests_(requests),
      classId_(classId),
      address_(address),
      layout_(BlobLayoutForClass(classId)) {
    setObjectName("frmViewBLOB");
    setWindowTitle(kViewBlobCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    BuildLayout();
}

TfrmViewBLOB::~TfrmViewBLOB() = default;

void TfrmViewBLOB::BuildLayout() {
    rows_ = new TBlobRowsModel(this);
    sgData_ = new QTableView(this);
    sgData_->setObjectName("sgData");
    sgData_->setModel(rows_);
    sgData_->horizontalHeader()->setStretchLastSection(true);
    sgData_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("pbProgress");
    progress_->setRange(0, 100);
    progress_->hide();
    btnRefresh_ =
        Button("btnRefresh", "&Refresh", "Re-retrieve BLOB/LLB Data from Object/Device", this);
    btnSendAll_ =
        Button("btnSendAll", "Send &All ", "Send BLOB/LLB data back to the Object/Device", this);
    auto* load = Button("btnLoadFromFile", "&Load from File", nullptr, this);
    auto* save = Button("btnSaveToFile", "&Save to File", nullptr, this);
    auto* exportData =
        Button("btnExport", "&Export Data", "Export data to file in various formats", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btnRefresh_, btnSendAll_, load, save, exportData})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sgData_, 1);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
    resize(520, 420);

    connect(btnRefresh_, &QPushButton::clicked, this, &TfrmViewBLOB::Refresh);
    connect(btnSendAll_, &QPushButton::clicked, this, &TfrmViewBLOB::SendAll);
    connect(load, &QPushButton::clicked, this, [this] { LoadFromFile(); });
    connect(save, &QPushButton::clicked, this, [this] { SaveToFile(); });
    connect(exportData, &QPushButton::clicked, this, &TfrmViewBLOB::ExportData);
}

void TfrmViewBLOB::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        QMetaObject::invokeMethod(this, &TfrmViewBLOB::Refresh, Qt::QueuedConnection);
    }
}

uint16_t TfrmViewBLOB::SizeProperty(uint16_t id) {
    TU32UWord value;
    value.SetPropertyID(id);
    TTarn_Property_Link link(address_.net, address_.dev, address_.obj, &value);
    int32_t result = requests_.GetPropertyNow(link, 0);
    if (result == kTimeOut)
        result = requests_.GetPropertyNow(link, 0);
    return result == 0 ? value.Value() : 0;
}

void TfrmViewBLOB::ReadSizes() {
    size_t first = SizeProperty(kEntriesProperty);
    size_t second = SizeProperty(kEntrySizeProperty);
    if (layout_ == BlobLayout::FixedEntries) {
        entries_ = first;
        entrySize_ = second;
        blockSize_ = first * second;
    } else {
        blockSize_ = first;
        entries_ = second;
        entrySize_ = 0;
    }
    if (blockSize_ > kMaxBlobBytes) {
        ShowMessage(this, "The object reports " + std::to_string(blockSize_) +
                              " bytes of data; only the first " + std::to_string(kMaxBlobBytes) +
                              " can be read");
        blockSize_ = kMaxBlobBytes;
    }
    buffer_.assign(blockSize_, 0);
}

void TfrmViewBLOB::ReadBlock() {
    PagerOutcome read = ReadDataBlock(
        [this](std::span<const uint8_t> payload, std::vector<uint8_t>& reply) {
            return requests_.ActivateMethod(address_, kMethodReadDataBlock,
                                            {payload.begin(), payload.end()}, reply, true);
        },
        [this](uint16_t offset, std::span<const uint8_t> bytes) {
            std::copy(bytes.begin(), bytes.end(), buffer_.begin() + offset);
            progress_->setValue(Percent(offset + bytes.size(), blockSize_));
        },
        blockSize_);
    if (read.end == PagerEnd::Failed)
        ShowError(this, "Error Getting BLOB data\rError: " + StatusText(read.status));
}

void TfrmViewBLOB::Refresh() {
    // The reads wait while events run: a second Refresh inside one is refused.
    if (reading_)
        return;
    reading_ = true;
    btnRefresh_->setEnabled(false);
    btnSendAll_->setEnabled(false);
    progress_->setValue(0);
    progress_->show();
    ReadSizes();
    progress_->setValue(10);
    ReadBlock();
    ShowRows();
    progress_->hide();
    btnRefresh_->setEnabled(true);
    btnSendAll_->setEnabled(true);
    reading_ = false;
}

void TfrmViewBLOB::ShowRows() {
    BlobGridRows shown = BlobRowsFromBuffer(buffer_, layout_, entrySize_, entries_);
    rows_->SetRows(std::move(shown.rows));
    if (shown.ranPastEnd)
        ShowError(this, "Ran past end of buffer");
}

std::vector<std::string> TfrmViewBLOB::Rows() const {
    return rows_->Rows();
}

void TfrmViewBLOB::SetRow(size_t row, const std::string& text) {
    rows_->SetRow(row, text);
}

void TfrmViewBLOB::SendAll() {
    if (reading_)
        return;
    BlobBuffer rebuilt = BlobBufferFromRows(rows_->Rows(), layout_, entrySize_);
    if (!rebuilt.ok()) {
        ShowError(this, rebuilt.error + "\rNothing was sent");
        return;
    }
    buffer_ = std::move(rebuilt.bytes);
    if (layout_ == BlobLayout::FixedEntries)
        entries_ = entrySize_ == 0 ? 0 : buffer_.size() / entrySize_;
    else
        entries_ = BlobRowsFromBuffer(buffer_, layout_, 0, SIZE_MAX).rows.size();
    blockSize_ = buffer_.size();
    ShowRows();
    reading_ = true;
    btnRefresh_->setEnabled(false);
    btnSendAll_->setEnabled(false);
    progress_->setValue(0);
    progress_->show();
    for (size_t offset = 0; offset < buffer_.size(); offset += kBlobSendChunk) {
        size_t count = std::min(kBlobSendChunk, buffer_.size() - offset);
        auto payload = dataBlockWritePayload(static_cast<uint16_t>(offset),
                                             std::span(buffer_).subspan(offset, count));
        std::vector<uint8_t> reply;
        int32_t result =
            requests_.ActivateMethod(address_, kMethodWriteDataBlock, *payload, reply, true);
        if (result == kTimeOut)
            result =
                requests_.ActivateMethod(address_, kMethodWriteDataBlock, *payload, reply, true);
        if (result != 0) {
            ShowError(this, "Error Sending BLOB data\rError: " + StatusText(result));
            break;
        }
        progress_->setValue(Percent(offset + count, buffer_.size()));
    }
    progress_->hide();
    btnRefresh_->setEnabled(true);
    btnSendAll_->setEnabled(true);
    reading_ = false;
}

void TfrmViewBLOB::LoadFromFile(const QString& chosen) {
    QString path = chosen.isEmpty() ? QFileDialog::getOpenFileName(
                                          this, {}, {}, "BLOB Data (*.BLB);;All Files (*.*)")
                                    : chosen;
    if (path.isEmpty())
        return;
    std::string text;
    if (!ReadTextFile(path.toStdString(), text)) {
        ShowError(this, "The file " + path.toStdString() + " could not be read");
        return;
    }
    std::vector<std::string> rows = BlbFileRows(text);
    entries_ = rows.size();
    rows_->SetRows(std::move(rows));
}

void TfrmViewBLOB::SaveToFile(const QString& chosen) {
    QString path = chosen;
    if (path.isEmpty()) {
        QFileDialog dialog(this);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({"BLOB Data Files (*.BLB)", "All Files (*.*)"});
        dialog.setDefaultSuffix("BLB");
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        path = dialog.selectedFiles().front();
    }
    if (!WriteFileReplacing(path.toStdString(), BlbFileText(rows_->Rows())))
        ShowError(this, "The file " + path.toStdString() + " could not be written");
}

void TfrmViewBLOB::ExportData() {
    ShowMessage(this, ">> This Feature under Construction >>");
}

}  // namespace objscope
