// TfrmTestMgr, "Test Manager Methods": drives the Test Manager object of a
// device: sets and starts test sequences, runs single circuit tests, stops
// tests, lists the stored tests and their results, flushes results.
#pragma once

#include <QWidget>

#include "protocol/tarn_header.h"
#include "windows/device_requests.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace objscope {

class TRecordTableModel;

inline constexpr char kTestMgrCaption[] = "Test Manager Methods";

class TfrmTestMgr : public QWidget {
    Q_OBJECT

  public:
    explicit TfrmTestMgr(TDeviceRequests& requests, QWidget* parent = nullptr);

    // The Test Manager's address, set by the main window before showing.
    void SetAddress(const TarnAddress& address) { address_ = address; }
    const TarnAddress& Address() const { return address_; }

    // The operations behind the buttons.
    void StopTest();
    void SeqSet();
    void SeqTest();
    void CircuitTest();
    void RunTest();
    void GetTests();
    void GetResults();
    void FlushResults();
    void GetEm();
    void FlushEm();
    void CancelPanels();

    TRecordTableModel* Model() const { return model_; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildLayout();
    QWidget* BuildCircuitPanel();
    QWidget* BuildResultsPanel();
    void SetButtonsEnabled(bool on);
    void ClearBoxes();
    void ClearGrid(const char* const* headers);
    int VisibleRows() const;
    uint16_t Sequence() const;
    void StartSequence(uint16_t modeWord, const char* started);
    uint16_t ResultsSelector() const;
    void ReportCut(int32_t status, size_t records);

    TDeviceRequests& requests_;
    TarnAddress address_{};
    QComboBox* cboTestSeqs_;
    QPushButton* buttons_[7];
    QTableView* gridResults_;
    TRecordTableModel* model_;
    QLineEdit* edtSerialNo_;
    QLineEdit* edtModeFlags_;
    QLineEdit* edtTestDateTime_;
    QLineEdit* edtNumRecords_;
    QFrame* pnlCircuitTest_;
    QLineEdit* edtTestPoint_;
    QLineEdit* edtSettingCode_;
    QLineEdit* edtTestMode_;
    QLabel* lblSettingCode_;
    QFrame* pnlResults_;
    QRadioButton* rbSequence_;
    QRadioButton* rbSerial_;
    QLineEdit* edtSeqSerial_;
    QPushButton* btnGetEm_;
    QPushButton* btnFlushEm_;
};

// The system's short date and long time of a packed date and time.
std::string SystemDateTimeText(int year, int month, int day, int hour, int minute, int second);

}  // namespace objscope
