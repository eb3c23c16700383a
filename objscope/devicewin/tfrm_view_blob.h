// TfrmViewBLOB, "BLOB/LLB Data": the data block of one table object as rows
// of hexadecimal bytes, edited, sent back, saved to and loaded from *.BLB
// files. Each window keeps its own copy of the class and address it was
// opened for.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "objectset/blob_rows.h"
#include "protocol/tarn_header.h"
#include "windows/device_requests.h"

class QProgressBar;
class QPushButton;
class QTableView;

namespace objscope {

class TBlobRowsModel;

inline constexpr char kViewBlobCaption[] = "BLOB/LLB Data";
constexpr size_t kBlobSendChunk = 400;

class TfrmViewBLOB : public QWidget {
    Q_OBJECT

  public:
    TfrmViewBLOB(TDeviceRequests& requests, uint16_t classId, const TarnAddress& address,
                 QWidget* parent = nullptr);
    ~TfrmViewBLOB() override;

    void Refresh();
    void SendAll();
    // Without a path the file dialogs ask.
    void LoadFromFile(const QString& path = {});
    void SaveToFile(const QString& path = {});
    void ExportData();

    bool Reading() const { return reading_; }
    std::vector<std::string> Rows() const;
    void SetRow(size_t row, const std::string& text);
    size_t EntryCount() const { return entries_; }
    const std::vector<uint8_t>& Buffer() const { return buffer_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildLayout();
    uint16_t SizeProperty(uint16_t id);
    void ReadSizes();
    void ReadBlock();
    void ShowRows();

    TDeviceRequests& requests_;
    const uint16_t classId_;
    const TarnAddress address_;
    const BlobLayout layout_;
    size_t entries_ = 0;
    size_t entrySize_ = 0;
    size_t blockSize_ = 0;
    std::vector<uint8_t> buffer_;
    bool reading_ = false;
    bool shownOnce_ = false;
    QTableView* sgData_;
    TBlobRowsModel* rows_;
    QProgressBar* progress_;
    QPushButton* btnRefresh_;
    QPushButton* btnSendAll_;
};

}  // namespace objscope
