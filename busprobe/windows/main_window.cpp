#include "main_window.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>

#include "about_box.h"
#include "message_search.h"
#include "monitor_feed.h"
#include "pcapng_reader.h"
#include "platform/ini.h"
#include "schedule_checks.h"
#include "schedule_dialog.h"
#include "tarn_decode.h"
#include "traffic_format.h"

namespace busprobe {
namespace {

const QString kLogFilter = QStringLiteral("VEK Network Log (*.LOG)|*.LOG|All Files (*.*)|*.*");

// "StoreMessages" of section "Options" in BUSPROBE.INI: how many messages the
// session keeps for the list and the capture file.
size_t readStoreLimit() {
    int32_t value = plat::ini::getInt("Options", "StoreMessages",
                                      static_cast<int32_t>(kDefaultStoreMessages), kScheduleFile);
    return static_cast<size_t>(std::clamp(value, 100, 10000000));
}

QLabel* label(QWidget* parent, const char* text) {
    return new QLabel(QString::fromLatin1(text), parent);
}

}  // namespace

TfrmMain::TfrmMain(Prompter& prompter, const Clock& clock, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompter_(prompter),
      clock_(clock),
      store_(readStoreLimit()),
      pairing_(readPacketTimeoutMs()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Network Monitor/Message Tester"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildDisplay(), 1);
    composer_ = new MessageComposer(prompter_, handler_, central);
    layout->addWidget(composer_);
    setCentralWidget(central);
    buildMenus();
    countsLabel_ = new QLabel(this);
    countsLabel_->setObjectName(QStringLiteral("lblCounts"));
    countsLabel_->setText(QString::fromStdString(TrafficCounts{}.text()));
    statusBar()->addPermanentWidget(countsLabel_);
    handler_.schedule.countsLine = [this] { return countsText(); };
    setFixedWidth(624);
    setMinimumHeight(473);
    resize(624, 820);

    scheduleTimer_ = new QTimer(this);
    scheduleTimer_->setObjectName(QStringLiteral("tmrSchedule"));
    scheduleTimer_->setSingleShot(true);  // restarted after each tick
    scheduleTimer_->setInterval(1000);
    connect(scheduleTimer_, &QTimer::timeout, this, &TfrmMain::scheduleTick);

    handler_.afterNotification = [this](const CapturedMessage& m) { composer_->answerIfWanted(m); };
    setMode(DisplayMode::Machine, machineTraffic_, "Currently Displaying All Network Traffic");

    MonitorFeed::instance().attach(
        [this](std::vector<CapturedMessage>& batch) { handleBatch(batch); });
    registration_ = VEKBaseStartup();
    if (registration_ > 0) {
        monitor_ = RegisterNetMonCallback_CB(registration_, &MonitorFeed::onNetMonMessage);
    }
    composer_->setRegistration(registration_);
}

TfrmMain::~TfrmMain() {
    scheduleTimer_->stop();
    MonitorFeed::instance().detach();
    closeAllLogs();
    handler_.schedule.setEntries({});
    if (registration_ > 0) {
        UnRegisterNetMonCallback(registration_, monitor_);
        VEKBaseCleanup(registration_);
    }
}

QWidget* TfrmMain::buildDisplay() {
    auto* display = new QWidget(this);
    auto* layout = new QVBoxLayout(display);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    header_ = new QLabel(display);
    header_->setObjectName(QStringLiteral("lblNetworkDisplayHeader"));
    scheduleLabel_ = new QLabel(display);
    scheduleLabel_->setObjectName(QStringLiteral("lblSchedule"));
    top->addWidget(header_, 1);
    top->addWidget(scheduleLabel_);
    layout->addLayout(top);

    auto* splitter = new QSplitter(Qt::Vertical, display);
    splitter->setObjectName(QStringLiteral("splDisplay"));
    splitter->addWidget(buildList(splitter));
    memo_ = new QPlainTextEdit(splitter);
    memo_->setObjectName(QStringLiteral("memNetMessage"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    splitter->addWidget(memo_);
    layout->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
    auto* limitLabel = label(display, "Max Display: ");
    bottom->addWidget(limitLabel);
    limit_ = new QSpinBox(display);
    limit_->setObjectName(QStringLiteral("SpinEdit1"));
    limit_->setRange(10, 60);
    limit_->setValue(30);
    limitLabel->setBuddy(limit_);
    handler_.displayLimit = limit_->value();  // the limit is what the box shows
    connect(limit_, &QSpinBox::valueChanged, this, [this](int v) { handler_.displayLimit = v; });
    bottom->addWidget(limit_);

    filterPanel_ = new QWidget(display);
    filterPanel_->setObjectName(QStringLiteral("pnlFilter"));
    auto* filters = new QHBoxLayout(filterPanel_);
    filters->setContentsMargins(0, 0, 0, 0);
    filterIp_ = new TVEKIPEdit(filterPanel_);
    filterIp_->setObjectName(QStringLiteral("edtFilterIP"));
    filterObject_ = new FilteredEdit(filterPanel_);
    filterObject_->setObjectName(QStringLiteral("edtFilterObject"));
    filterMessage_ = new FilteredEdit(filterPanel_);
    filterMessage_->setObjectName(QStringLiteral("edtFilterMsg"));
    const std::pair<const char*, QWidget*> captions[] = {{"Filter IP:", filterIp_},
                                                         {"Filter Object:", filterObject_},
                                                         {"Message ID:", filterMessage_}};
    const char* const labelNames[] = {"lblFilterIP", "lblFilterObject", "lblFilterMsg"};
    for (size_t i = 0; i < 3; ++i) {
        QLabel* caption = label(filterPanel_, captions[i].first);
        caption->setObjectName(QString::fromLatin1(labelNames[i]));
        caption->setBuddy(captions[i].second);
        filters->addWidget(caption);
        filters->addWidget(captions[i].second);
        filters->addSpacing(8);
    }
    filters->addStretch();
    for (auto* edit : {filterObject_, filterMessage_}) {
        edit->setRule(FilteredEdit::hexIdRule());
        edit->fitWidthTo(QStringLiteral("DDDD"));
        connect(edit, &FilteredEdit::keyAccepted, this, [this] { composer_->markModified(); });
        connect(edit, &QLineEdit::textChanged, this, &TfrmMain::updateFilter);
    }
    connect(filterIp_, &TVEKIPEdit::Ononchange, this, &TfrmMain::updateFilter);
    // The filters get a row of their own: beside the other controls the
    // fixed window width squeezed them until they clipped.
    layout->addWidget(filterPanel_);
    bottom->addStretch();
    auto* clear = new QPushButton(QStringLiteral("&Clear Display"), display);
    clear->setObjectName(QStringLiteral("btnClearDisplay"));
    connect(clear, &QPushButton::clicked, this, &TfrmMain::clearDisplay);
    bottom->addWidget(clear);
    layout->addLayout(bottom);
    filterPanel_->hide();
    return display;
}

QWidget* TfrmMain::buildList(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    listModel_ = new MessageListModel(store_, this);
    listModel_->setDecoder([](const CapturedMessage& m) {
        auto tarn = decodeTarn(m.datagram());
        return tarn ? QString::fromStdString(tarnSummary(*tarn)) : QString();
    });
    list_ = new QTreeView(panel);
    list_->setObjectName(QStringLiteral("lstMessages"));
    list_->setModel(listModel_);
    // A list of 100,000 rows: equal row heights let the view skip measuring.
    list_->setUniformRowHeights(true);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setAlternatingRowColors(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    const int widths[MessageListModel::kColumnCount] = {30, 96, 24, 72, 44, 52, 52, 72, 250, 240};
    for (int c = 0; c < MessageListModel::kColumnCount; ++c) {
        list_->setColumnWidth(c, widths[c]);
    }
    // The reply and the decoded fields first after the address; the IDs and
    // the data bytes follow.
    list_->header()->moveSection(MessageListModel::kReply, MessageListModel::kObject);
    list_->header()->moveSection(MessageListModel::kDecoded, MessageListModel::kObject + 1);
    layout->addWidget(list_, 1);

    auto* row = new QHBoxLayout;
    pause_ = new QPushButton(QStringLiteral("&Pause"), panel);
    pause_->setObjectName(QStringLiteral("btnPause"));
    pause_->setCheckable(true);
    connect(pause_, &QPushButton::toggled, this, &TfrmMain::setPaused);
    row->addWidget(pause_);
    pausedLabel_ = new QLabel(panel);
    pausedLabel_->setObjectName(QStringLiteral("lblPaused"));
    row->addWidget(pausedLabel_, 1);
    auto* searchLabel = new QLabel(QStringLiteral("Searc&h:"), panel);
    search_ = new QLineEdit(panel);
    search_->setObjectName(QStringLiteral("edtSearch"));
    search_->setPlaceholderText(QStringLiteral("address, ID or bytes in hex"));
    searchLabel->setBuddy(search_);
    auto* next = new QPushButton(QStringLiteral("Find &Next"), panel);
    next->setObjectName(QStringLiteral("btnFindNext"));
    connect(next, &QPushButton::clicked, this, &TfrmMain::findNext);
    connect(search_, &QLineEdit::returnPressed, this, &TfrmMain::findNext);
    row->addWidget(searchLabel);
    row->addWidget(search_, 2);
    row->addWidget(next);
    layout->addLayout(row);

    pairingTimer_ = new QTimer(this);
    pairingTimer_->setObjectName(QStringLiteral("tmrPairing"));
    pairingTimer_->setInterval(500);
    connect(pairingTimer_, &QTimer::timeout, this, &TfrmMain::expireRequests);
    pairingTimer_->start();
    return panel;
}

void TfrmMain::setPaused(bool paused) {
    listModel_->setPaused(paused);
    pause_->setChecked(paused);
    pausedLabel_->setText(paused ? QStringLiteral("Paused: traffic is still captured and counted")
                                 : QString());
    if (!paused) {
        list_->scrollToBottom();
    }
}

bool TfrmMain::findNext() {
    MessageQuery query(search_->text().toStdString());
    QModelIndex current = list_->currentIndex();
    uint64_t from =
        current.isValid() ? listModel_->serialOf(current.row()) : store_.firstSerial() - 1;
    auto found = findMessage(store_, from, query);
    int row = found ? listModel_->rowOf(*found) : -1;
    if (row < 0) {
        statusBar()->showMessage(QStringLiteral("Not found: %1").arg(search_->text()), 3000);
        return false;
    }
    QModelIndex index = listModel_->index(row, 0);
    list_->setCurrentIndex(index);
    list_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

void TfrmMain::expireRequests() {
    auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
                   .count();
    if (pairing_.expire(now, store_) > 0) {
        listModel_->refreshPairing();
    }
}

QAction* TfrmMain::addAction(QMenu* menu, const char* name, const char* caption,
                             const QKeySequence& keys) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    return action;
}

void TfrmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(addAction(file, "mnuNewMessage", "&New Message", QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, composer_, &MessageComposer::newMessage);
    connect(
        addAction(file, "mnuLoadMessage", "&Load Message...", QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, composer_, &MessageComposer::loadMessage);
    connect(addAction(file, "mnuSaveMessage", "&Save Message", QKeySequence(Qt::CTRL | Qt::Key_G)),
            &QAction::triggered, composer_, &MessageComposer::saveMessage);
    connect(addAction(file, "mnuSaveMessageAs", "Save Message &As...",
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
            &QAction::triggered, composer_, &MessageComposer::saveMessageAs);
    file->addSeparator();
    newLog_ = addAction(file, "mnuNewLogFile", "New &Log File", QKeySequence(Qt::CTRL | Qt::Key_L));
    closeLog_ = addAction(file, "mnuCloseLogFile", "&Close Log File",
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    viewLog_ = addAction(file, "mnuViewLogFile", "&View Log File",
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    closeLog_->setEnabled(false);
    viewLog_->setEnabled(false);
    connect(newLog_, &QAction::triggered, this, &TfrmMain::newLogFile);
    connect(closeLog_, &QAction::triggered, this, &TfrmMain::closeLogFile);
    connect(viewLog_, &QAction::triggered, this, &TfrmMain::viewLogFile);
    connect(addAction(file, "mnuSavePcapng", "Save as &pcapng...", QKeySequence()),
            &QAction::triggered, this, &TfrmMain::saveAsPcapng);
    connect(addAction(file, "mnuOpenPcapng", "Open pcapn&g...", QKeySequence()),
            &QAction::triggered, this, &TfrmMain::openPcapng);
    file->addSeparator();
    connect(addAction(file, "mnuExit", "E&xit", QKeySequence()), &QAction::triggered, this,
            &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    copy_ = addAction(edit, "mnuCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(copy_, &QAction::triggered, memo_, &QPlainTextEdit::copy);
    connect(edit, &QMenu::aboutToShow, this,
            [this] { copy_->setEnabled(memo_->textCursor().hasSelection()); });
    connect(addAction(edit, "mnuClearDisplay", "C&lear Display",
                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)),
            &QAction::triggered, this, &TfrmMain::clearDisplay);
    connect(addAction(edit, "mnuSchedule", "&Schedule", QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &TfrmMain::openSchedule);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    programTraffic_ = addAction(options, "mnuProgramTraffic", "Display Program Traffic",
                                QKeySequence(Qt::CTRL | Qt::Key_P));
    machineTraffic_ = addAction(options, "mnuMachineTraffic", "Display Machine Traffic",
                                QKeySequence(Qt::CTRL | Qt::Key_M));
    filteredTraffic_ = addAction(options, "mnuFilteredTraffic", "Display &Filtered Traffic",
                                 QKeySequence(Qt::CTRL | Qt::Key_F));
    for (auto* action : {programTraffic_, machineTraffic_, filteredTraffic_}) {
        action->setCheckable(true);
    }
    connect(programTraffic_, &QAction::triggered, this, &TfrmMain::displayProgramTraffic);
    connect(machineTraffic_, &QAction::triggered, this, &TfrmMain::displayMachineTraffic);
    connect(filteredTraffic_, &QAction::triggered, this, &TfrmMain::displayFilteredTraffic);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addAction(help, "mnuAbout", "&About", QKeySequence()), &QAction::triggered, this,
            &TfrmMain::showAbout);
}

void TfrmMain::setMode(DisplayMode mode, QAction* tick, const char* header) {
    handler_.mode = mode;
    for (auto* action : {programTraffic_, machineTraffic_, filteredTraffic_}) {
        action->setChecked(action == tick);
    }
    filterPanel_->setVisible(mode == DisplayMode::Filtered);
    header_->setText(QString::fromLatin1(header));
}

void TfrmMain::displayProgramTraffic() {
    setMode(DisplayMode::Program, programTraffic_, "Currently Displaying Only Program Traffic");
}

void TfrmMain::displayMachineTraffic() {
    setMode(DisplayMode::Machine, machineTraffic_, "Currently Displaying All Network Traffic");
}

void TfrmMain::displayFilteredTraffic() {
    setMode(DisplayMode::Filtered, filteredTraffic_,
            "Currently Displaying Filtered Network Traffic");
}

void TfrmMain::updateFilter() {
    handler_.displayFilter = {filterIp_->text().toStdString(), filterObject_->text().toStdString(),
                              filterMessage_->text().toStdString()};
}

void TfrmMain::clearDisplay() {
    memo_->clear();
    memoEmpty_ = true;
}

void TfrmMain::handleBatch(std::vector<CapturedMessage>& batch) {
    for (auto& m : batch) {
        pairing_.observe(m, store_.endSerial(), store_);
        store_.add(m);
        handler_.handleNotification(m);
    }
    QScrollBar* bar = list_->verticalScrollBar();
    bool atBottom = bar->value() >= bar->maximum();
    listModel_->sync();
    listModel_->refreshPairing();
    if (listModel_->paused()) {
        pausedLabel_->setText(QStringLiteral("Paused: %1 messages captured since")
                                  .arg(listModel_->pendingWhilePaused()));
    } else if (atBottom) {
        list_->scrollToBottom();
    }
    handler_.flushLogs();
    applyDisplayUpdate();
    reportLogFailures();
    countsLabel_->setText(QString::fromStdString(counts().text()));
}

TrafficCounts TfrmMain::counts() const {
    return {handler_.receivedCount(), handler_.shownCount(), handler_.loggedCount(),
            MonitorFeed::instance().droppedCount(), store_.discarded()};
}

std::string TfrmMain::countsText() const {
    return counts().text();
}

void TfrmMain::reportLogFailures() {
    const CaptureLog& manual = handler_.manualLog;
    if (manual.isOpen() && manual.failed()) {
        statusBar()->showMessage(QStringLiteral("Writing to %1 failed (%2): %3 lines lost")
                                     .arg(QString::fromStdString(manual.path()),
                                          QString::fromStdString(manual.writeError()))
                                     .arg(manual.lostLines()));
        if (!manualFailureReported_) {
            manualFailureReported_ = true;
            QString text = QStringLiteral("Unable to write to the Network Capture File %1: %2")
                               .arg(QString::fromStdString(manual.path()),
                                    QString::fromStdString(manual.writeError()));
            // Not from inside the batch: the box runs its own event loop.
            QTimer::singleShot(0, this, [this, text] {
                prompter_.warn(this, text, QStringLiteral("Network Capture Write Error"));
            });
        }
    }
    if (handler_.schedule.size() == 0) {
        return;
    }
    for (const auto& failure : handler_.schedule.takeNewFailures()) {
        _Debug_Internal(1, "busprobe: scheduled capture log %s\n", failure.c_str());
    }
    scheduleLabel_->setText(QString::fromStdString(handler_.schedule.label()));
}

void TfrmMain::applyDisplayUpdate() {
    DisplayUpdate update = handler_.takeDisplayUpdate();
    if (update.cleared) {
        clearDisplay();
    }
    if (update.text.empty() && !update.cleared) {
        return;
    }
    QString text = QString::fromLatin1(update.text.data(), static_cast<int>(update.text.size()));
    if (memoEmpty_) {
        memo_->setPlainText(text);
    } else {
        memo_->appendPlainText(text);
    }
    memoEmpty_ = memo_->document()->isEmpty();
}

void TfrmMain::newLogFile() {
    handler_.manualSimple =
        prompter_.askYesNo(this, QStringLiteral("Log data in simple format?"), windowTitle());
    QString name = prompter_.openFileName(this, QStringLiteral("Open Network Capture Log File"),
                                          kLogFilter, QStringLiteral(".LOG"));
    if (name.isEmpty()) {
        return;
    }
    if (QFileInfo::exists(name) &&
        prompter_.askYesNo(this,
                           QStringLiteral("File will be appended to unless delete action is "
                                          "requested.  Do you wish do delete the Existing "
                                          "Capture file ?"),
                           QStringLiteral("Capture File Exists")) &&
        !QFile::remove(name)) {
        prompter_.warn(this, QStringLiteral("Unable to Delete Specified Capture File !"),
                       QStringLiteral("Capture File Deletion Error"));
        return;
    }
    if (!handler_.manualLog.open(name.toStdString())) {
        logFileName_.clear();
        prompter_.warn(this,
                       QStringLiteral("Unable to successfully Log to specified Network Capture "
                                      "File !!"),
                       QStringLiteral("Network Capture Open Error"));
        return;
    }
    logFileName_ = name;
    manualFailureReported_ = false;
    handler_.manualLog.writeLines(manualOpeningBlock(
        logDateTimeText(clock_.now()), filterIp_->text().toStdString(),
        filterObject_->text().toStdString(), filterMessage_->text().toStdString()));
    handler_.manualLog.flush();
    newLog_->setEnabled(false);
    viewLog_->setEnabled(false);
    closeLog_->setEnabled(true);
    reportLogFailures();
}

void TfrmMain::closeLogFile() {
    if (handler_.manualLog.isOpen()) {
        handler_.manualLog.writeLines(closingBlock(logDateTimeText(clock_.now()), countsText()));
        handler_.manualLog.close();
        reportLogFailures();
    }
    newLog_->setEnabled(true);
    viewLog_->setEnabled(!logFileName_.isEmpty());
    closeLog_->setEnabled(false);
}

void TfrmMain::viewLogFile() {
    if (!logFileName_.isEmpty() && !QDesktopServices::openUrl(QUrl::fromLocalFile(logFileName_))) {
        prompter_.warn(this,
                       QStringLiteral("No program is registered to open text files. Open %1 "
                                      "with a text editor.")
                           .arg(logFileName_),
                       QStringLiteral("View Log File"));
    }
}

void TfrmMain::loadSchedule() {
    const QString caption = QStringLiteral("Capture Schedule");
    QFileInfo file(QString::fromStdString(plat::ini::resolvePath(kScheduleFile)));
    if (file.exists() && !file.isReadable()) {
        prompter_.warn(
            this,
            QStringLiteral("Unable to read the capture schedule from %1 !").arg(file.filePath()),
            caption);
    }
    std::vector<ScheduleRow> rows;
    int number = 0;
    for (auto& row : readScheduleRows(kScheduleFile)) {
        ++number;
        // An entry without a log file could never log, and one whose time or
        // filters cannot be read would log at the wrong times or the wrong
        // traffic: say so instead of guessing.
        std::string problem = scheduleRowProblem(row);
        if (!problem.empty()) {
            prompter_.warn(this,
                           QStringLiteral("Schedule item %1 of BUSPROBE.INI %2 and is left out.")
                               .arg(number)
                               .arg(QString::fromStdString(problem)),
                           caption);
            continue;
        }
        rows.push_back(std::move(row));
    }
    applyScheduleRows(std::move(rows), true);
}

void TfrmMain::applyScheduleRows(std::vector<ScheduleRow> rows, bool restartTimer) {
    std::vector<ScheduleEntry> entries;
    for (auto& row : rows) {
        entries.push_back(scheduleEntryFromRow(row));
    }
    scheduleRows_ = std::move(rows);
    handler_.schedule.setEntries(std::move(entries));
    if (restartTimer && handler_.schedule.size() > 0) {
        scheduleTimer_->start();
    } else {
        scheduleTimer_->stop();
    }
    scheduleLabel_->setText(QString::fromStdString(handler_.schedule.label()));
}

void TfrmMain::stopSchedule() {
    scheduleTimer_->stop();
    handler_.schedule.closeAll(clock_.now());
    scheduleLabel_->clear();
}

void TfrmMain::scheduleTick() {
    handler_.schedule.tick(clock_.now());
    reportLogFailures();
    if (handler_.schedule.size() > 0) {
        scheduleTimer_->start();
    }
}

void TfrmMain::openSchedule() {
    stopSchedule();
    TfrmSchedule dialog(prompter_, kScheduleFile, this);
    dialog.setRows(scheduleRows_);
    if (dialog.exec() != QDialog::Accepted) {
        // Escape or the close button: the schedule goes on as it was.
        applyScheduleRows(scheduleRows_, true);
        return;
    }
    std::vector<ScheduleRow> rows;
    for (const auto& row : dialog.rows()) {
        if (!row[kColLogFile].empty()) {
            rows.push_back(row);
        }
    }
    if (!writeScheduleRows(kScheduleFile, rows)) {
        prompter_.warn(this, QStringLiteral("Unable to save the schedule in BUSPROBE.INI !"),
                       QStringLiteral("Capture Schedule"));
    }
    applyScheduleRows(std::move(rows), true);
}

void TfrmMain::saveAsPcapng() {
    QString name = prompter_.saveFileName(
        this, QStringLiteral("Save Captured Traffic"),
        QStringLiteral("pcapng Capture (*.pcapng)|*.pcapng|All Files (*.*)|*.*"),
        QStringLiteral(".pcapng"));
    if (name.isEmpty()) {
        return;
    }
    uint32_t own = registration_ > 0 ? GetNetworkAddress(registration_) : 0;
    std::string error;
    std::string comment = captureComment(store_.messages().size(), store_.discarded(),
                                         MonitorFeed::instance().droppedCount());
    if (!writePcapng(name.toStdString(), store_.messages(), readCaptureEndpoints(own), error,
                     comment)) {
        prompter_.warn(this,
                       QStringLiteral("Unable to write the capture file: %1")
                           .arg(QString::fromStdString(error)),
                       QStringLiteral("Capture Save Error"));
    }
}

void TfrmMain::openPcapng() {
    QString name = prompter_.openFileName(
        this, QStringLiteral("Open Captured Traffic"),
        QStringLiteral("pcapng Capture (*.pcapng)|*.pcapng|All Files (*.*)|*.*"),
        QStringLiteral(".pcapng"));
    if (!name.isEmpty()) {
        importPcapng(name);
    }
}

bool TfrmMain::importPcapng(const QString& path) {
    uint32_t own = registration_ > 0 ? GetNetworkAddress(registration_) : 0;
    PcapngImport read = readPcapngFile(path.toStdString(), readCaptureEndpoints(own));
    if (!read.error.empty()) {
        prompter_.warn(this,
                       QStringLiteral("%1: %2 (%3 messages read)")
                           .arg(path, QString::fromStdString(read.error))
                           .arg(read.messages.size()),
                       QStringLiteral("Capture Open Error"));
    }
    // Shown as if captured live, in batches as the feed delivers them.
    constexpr size_t kBatch = 2000;
    for (size_t at = 0; at < read.messages.size(); at += kBatch) {
        size_t end = std::min(read.messages.size(), at + kBatch);
        std::vector<CapturedMessage> batch(
            std::make_move_iterator(read.messages.begin() + static_cast<long>(at)),
            std::make_move_iterator(read.messages.begin() + static_cast<long>(end)));
        handleBatch(batch);
    }
    statusBar()->showMessage(QStringLiteral("%1 messages read from %2, %3 other packets skipped")
                                 .arg(read.messages.size())
                                 .arg(path)
                                 .arg(read.skipped),
                             5000);
    return read.error.empty();
}

void TfrmMain::showAbout() {
    TdlgAboutBox(registration_, this).exec();
}

void TfrmMain::closeAllLogs() {
    handler_.schedule.closeAll(clock_.now());
    if (handler_.manualLog.isOpen()) {
        handler_.manualLog.writeLines(closingBlock(logDateTimeText(clock_.now()), countsText()));
        handler_.manualLog.close();
    }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (composer_->isModified() &&
        !prompter_.askYesNo(this,
                            QStringLiteral("Are you sure you wish to exit?  Network Message has "
                                           "NOT been saved!"),
                            windowTitle())) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace busprobe
