// TfrmEOBTest, "End-Of-Branch Testing": edits the end-of-branch test points
// of a device's EOB Assignment Table and reads the end-of-branch results of
// its Test Manager.
#pragma once

#include <QWidget>

#include "devicewin/eob_points.h"
#include "protocol/tarn_header.h"
#include "windows/device_requests.h"

class QLabel;
class QLineEdit;
class QTableView;
class QTableWidget;
class QTabWidget;

namespace objscope {

class TRecordTableModel;

inline constexpr char kEobTestCaption[] = "End-Of-Branch Testing";

class TfrmEOBTest : public QWidget {
    Q_OBJECT

  public:
    explicit TfrmEOBTest(TDeviceRequests& requests, QWidget* parent = nullptr);

    // Set by the main window before each showing; a Test Manager object ID
    // of 0 means none was listed.
    void SetAddresses(const TarnAddress& testManager, const TarnAddress& eobTable);

    void ReadPoints();
    void AddPoint();
    void DeletePoint();
    void WritePoints();
    void RetrieveResults();
    void FlushAllResults();

    QTableWidget* PointGrid() const { return gridPointData_; }
    TRecordTableModel* ResultModel() const { return results_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildLayout();
    void FillPoints(const std::vector<EobPointRecord>& points);
    void SetPointHeaders(bool read);
    void SetResultHeaders(bool read);
    std::vector<EobRowTexts> PointRows() const;
    bool CheckTestManager();

    TDeviceRequests& requests_;
    TarnAddress testManager_{};
    TarnAddress eobTable_{};
    QTabWidget* pages_;
    QTableWidget* gridPointData_;
    QTableView* gridTestResults_;
    TRecordTableModel* results_;
    QLineEdit* edtChannelNumber_;
    QLabel* lblTestActive_;
};

}  // namespace objscope
