// TfrmMain ("Network Monitor/Message Tester"): the traffic display with its
// modes, filters and logs in the upper half, the message composer in the
// lower half, and the capture schedule's timer.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>
#include <memory>

#include "capture_store.h"
#include "clock.h"
#include "filtered_edit.h"
#include "ip_edit.h"
#include "message_composer.h"
#include "message_list_model.h"
#include "pcapng_writer.h"
#include "prompter.h"
#include "request_pairing.h"
#include "traffic_counts.h"
#include "traffic_handler.h"

namespace busprobe {

class TfrmMain : public QMainWindow {
    Q_OBJECT

  public:
    // Registers with hubclient and subscribes to the monitor stream.
    TfrmMain(Prompter& prompter, const Clock& clock, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TrafficHandler& handler() { return handler_; }
    MessageComposer* composer() const { return composer_; }
    const CaptureStore& captureStore() const { return store_; }
    // How many messages the capture store keeps (the oldest go first).
    void setCaptureLimit(size_t messages) { store_.setMaxMessages(messages); }
    int32_t registration() const { return registration_; }
    QTimer* scheduleTimer() const { return scheduleTimer_; }
    MessageListModel* listModel() const { return listModel_; }
    QTreeView* messageList() const { return list_; }
    RequestPairing& pairing() { return pairing_; }

    // Handles one batch of the monitor stream (the feed's sink).
    void handleBatch(std::vector<CapturedMessage>& batch);

    // The schedule's one-second tick (also run directly by tests).
    void scheduleTick();
    // Loads BUSPROBE.INI's schedule as at program start.
    void loadSchedule();

  public slots:
    void displayProgramTraffic();
    void displayMachineTraffic();
    void displayFilteredTraffic();
    void clearDisplay();
    void newLogFile();
    void closeLogFile();
    void viewLogFile();
    void openSchedule();
    void saveAsPcapng();
    void openPcapng();
    // Reads a pcapng file into the store, the list and the display as if
    // its messages had just been captured; false when it was not read whole.
    bool importPcapng(const QString& path);
    void showAbout();
    void setPaused(bool paused);
    // Selects the next stored message that matches the search box.
    bool findNext();
    // Marks requests older than the packet time-out unanswered.
    void expireRequests();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildDisplay();
    QWidget* buildList(QWidget* parent);
    void buildMenus();
    void setMode(DisplayMode mode, QAction* tick, const char* header);
    void applyDisplayUpdate();
    void updateFilter();
    void applyScheduleRows(std::vector<ScheduleRow> rows, bool restartTimer);
    void stopSchedule();
    void closeAllLogs();
    TrafficCounts counts() const;
    std::string countsText() const;
    // Says once that a log write failed (a box for the manual log, the debug
    // log for scheduled ones) and keeps the status and label up to date.
    void reportLogFailures();
    QAction* addAction(QMenu* menu, const char* name, const char* caption,
                       const QKeySequence& keys);

    Prompter& prompter_;
    const Clock& clock_;
    TrafficHandler handler_;
    CaptureStore store_;
    RequestPairing pairing_;
    MessageListModel* listModel_ = nullptr;
    QTreeView* list_ = nullptr;
    QPushButton* pause_ = nullptr;
    QLineEdit* search_ = nullptr;
    QLabel* pausedLabel_ = nullptr;
    QTimer* pairingTimer_ = nullptr;
    int32_t registration_ = 0;
    int32_t monitor_ = 0;

    QPlainTextEdit* memo_ = nullptr;
    bool memoEmpty_ = true;
    QLabel* header_ = nullptr;
    QLabel* scheduleLabel_ = nullptr;
    QLabel* countsLabel_ = nullptr;
    bool manualFailureReported_ = false;
    QSpinBox* limit_ = nullptr;
    QWidget* filterPanel_ = nullptr;
    TVEKIPEdit* filterIp_ = nullptr;
    FilteredEdit* filterObject_ = nullptr;
    FilteredEdit* filterMessage_ = nullptr;
    MessageComposer* composer_ = nullptr;
    QTimer* scheduleTimer_ = nullptr;
    std::vector<ScheduleRow> scheduleRows_;

    QAction* newLog_ = nullptr;
    QAction* closeLog_ = nullptr;
    QAction* viewLog_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* programTraffic_ = nullptr;
    QAction* machineTraffic_ = nullptr;
    QAction* filteredTraffic_ = nullptr;
    QString logFileName_;
};

}  // namespace busprobe
