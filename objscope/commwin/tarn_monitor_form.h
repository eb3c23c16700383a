// The monitor window of the communication layer, caption "Tarn_Monitor (Com
// Layer)": ticket count, retry count, RX light, the operation line (red) and
// the log of the last 150 lines. It is shown only with "Monitor" on; it is
// also the layer's view for message boxes and the download error dialog.
#pragma once

#include <QWidget>

#include "comm/monitor_view.h"

class QLabel;
class QListWidget;
class QToolButton;

namespace objscope {

class TTarn_Monitor;

class TTarn_MonitorForm : public QWidget, public TTarnMonitorView {
    Q_OBJECT
  public:
    explicit TTarn_MonitorForm(QWidget* parent = nullptr);

    // The layer whose tickets the ticket labels list.
    void SetMonitor(TTarn_Monitor* monitor) { monitor_ = monitor; }

    // TTarnMonitorView
    void ShowMonitorWindow() override;
    void ShowTicketCount(size_t count) override;
    void ShowRetries(unsigned retries) override;
    void ToggleRx() override;
    void ShowOperation(const std::string& text) override;
    void AppendLogLine(const std::string& text) override;
    void RemoveOldestLogLine() override;
    void ShowMessage(const std::string& text) override;
    TDownloadAnswer AskDownloadError(const std::string& text, int seconds) override;

    bool RxLit() const { return rxOn_; }

  private:
    void TicketLabelClick();
    void PaintRx();

    TTarn_Monitor* monitor_ = nullptr;
    QToolButton* lblTicketList_ = nullptr;
    QToolButton* lblTicketCount_ = nullptr;
    QLabel* lblRetries_ = nullptr;
    QLabel* shpRX_ = nullptr;
    QLabel* lblOperation_ = nullptr;
    QListWidget* lstLog_ = nullptr;
    bool rxOn_ = false;
};

}  // namespace objscope
