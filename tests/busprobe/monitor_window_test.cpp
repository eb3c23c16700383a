#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

#include "about_box.h"
#include "gui_fixture.h"
#include "platform/ini.h"
#include "temp_folder.h"
#include "tshark_run.h"

namespace busprobe::testing {
namespace {

using testing_support::loopback;

// Date, time and gap vary from run to run; the rest of a log is fixed.
QString masked(QString text) {
    text.replace(QRegularExpression(QStringLiteral("\\[[0-9:]+ \\([0-9.]+ ms\\)\\]")),
                 QStringLiteral("[TIME (GAP ms)]"));
    text.replace(
        QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d{3}")),
        QStringLiteral("STAMP"));
    return text;
}

QString fileText(const std::string& path) {
    return QString::fromStdString(readFile(path));
}

TEST_F(MonitorWindowTest, ShowsReceivedAndSentTrafficWithDirectionAddressAndDump) {
    auto from = device(2);
    auto to = device(3);
    EXPECT_EQ(child<QLabel>("lblNetworkDisplayHeader")->text(),
              "Currently Displaying All Network Traffic");
    sendToServer(*from, datagram(0x0102, 0x0311, 0x8001, {'h', 'i', 0x00}));
    ASSERT_TRUE(waitForHandled(1));
    QString text = memoText();
    EXPECT_TRUE(text.contains("Machine Received Data from : 127.0.0.2 [")) << text.toStdString();
    EXPECT_TRUE(text.contains("  56 45 4B 02 01 11 03 01 80 68 69 00" + QString(12 + 4, ' ') +
                              "VEK......hi."))
        << text.toStdString();

    child<TVEKIPEdit>("edtNodeAddress")->setText("127.0.0.3");
    QTest::keyClicks(child<QLineEdit>("edtObjectID"), "ff00");
    QTest::keyClicks(child<QLineEdit>("edtMessageID"), "405");
    ASSERT_TRUE(window->composer()->sendFields());
    auto got = receive(*to);
    ASSERT_TRUE(got.has_value());
    ASSERT_EQ(got->bytes.size(), 9u);
    EXPECT_EQ(got->bytes[3], 0x00);
    EXPECT_EQ(got->bytes[4], 0xFF);
    EXPECT_EQ(got->bytes[5], 0x05);
    EXPECT_EQ(got->bytes[6], 0x04);
    ASSERT_TRUE(waitFor([&] { return memoText().contains("Machine Sent Data to : 127.0.0.3 ["); }));
}

TEST_F(MonitorWindowTest, ClearDisplayCopyAndDisplayLimit) {
    auto peer = device(2);
    // The limit is what the box shows, from the start.
    EXPECT_EQ(child<QSpinBox>("SpinEdit1")->value(), 30);
    EXPECT_EQ(window->handler().displayLimit, 30);
    child<QSpinBox>("SpinEdit1")->setValue(12);
    EXPECT_EQ(window->handler().displayLimit, 12);
    // Each test sends datagrams of its own: the server drops a repeat of any
    // of the last five it received.
    sendToServer(*peer, datagram(1, 0x0312, 0x8001));
    ASSERT_TRUE(waitForHandled(1));
    QMenu* edit = window->findChild<QMenu*>("mnuEdit");
    QAction* copy = window->findChild<QAction*>("mnuCopy");
    emit edit->aboutToShow();
    EXPECT_FALSE(copy->isEnabled());
    child<QPlainTextEdit>("memNetMessage")->selectAll();
    emit edit->aboutToShow();
    EXPECT_TRUE(copy->isEnabled());

    QTest::mouseClick(child<QPushButton>("btnClearDisplay"), Qt::LeftButton);
    EXPECT_TRUE(memoText().isEmpty());
    EXPECT_EQ(window->handler().handledCounter(), 1);  // clearing keeps the count
    sendToServer(*peer, datagram(1, 0x0312, 0x8002));
    ASSERT_TRUE(waitForHandled(2));
    EXPECT_TRUE(memoText().startsWith("\nMachine Received Data from : 127.0.0.2 ["));
}

TEST_F(MonitorWindowTest, FilteredDisplayShowsOnlyMatchingTraffic) {
    auto two = device(2);
    auto four = device(4);
    window->findChild<QAction*>("mnuFilteredTraffic")->trigger();
    EXPECT_TRUE(child<QWidget>("edtFilterIP")->isVisibleTo(window.get()));
    child<TVEKIPEdit>("edtFilterIP")->setText("127.0.0.2");
    QTest::keyClicks(child<QLineEdit>("edtFilterMsg"), "0405");
    EXPECT_TRUE(window->composer()->isModified());  // typing in a filter box counts

    sendToServer(*two, datagram(1, 0x0405, 0x8001));
    sendToServer(*two, datagram(1, 0x8405, 0x8002));
    sendToServer(*two, datagram(1, 0x0406, 0x8003));
    sendToServer(*four, datagram(1, 0x0405, 0x8004));
    sendToServer(*two, datagram(7, 0x0405, 0x8005));  // the last one, shown
    ASSERT_TRUE(waitFor([&] { return memoText().contains("01 80 "); }) &&
                waitFor([&] { return memoText().contains("05 80 "); }));
    QString text = memoText();
    EXPECT_EQ(occurrences(text, "Machine Received Data from : 127.0.0.2"), 3u)
        << text.toStdString();
    EXPECT_FALSE(text.contains("127.0.0.4"));
    EXPECT_FALSE(text.contains("06 04 03 80"));

    child<QLineEdit>("edtFilterObject")->setText("7");
    sendToServer(*two, datagram(1, 0x0405, 0x8006));
    sendToServer(*two, datagram(7, 0x0405, 0x8007));
    ASSERT_TRUE(waitFor([&] { return memoText().contains("07 80 "); }));
    EXPECT_FALSE(memoText().contains("06 80 "));
}

TEST_F(MonitorWindowTest, ProgramModeShowsOwnSendsAndTheRepliesToThem) {
    auto peer = device(3);
    window->findChild<QAction*>("mnuProgramTraffic")->trigger();
    EXPECT_EQ(child<QLabel>("lblNetworkDisplayHeader")->text(),
              "Currently Displaying Only Program Traffic");
    child<TVEKIPEdit>("edtNodeAddress")->setText("127.0.0.3");
    QTest::keyClicks(child<QLineEdit>("edtObjectID"), "12");
    QTest::keyClicks(child<QLineEdit>("edtMessageID"), "34");
    ASSERT_TRUE(window->composer()->sendFields());
    auto request = receive(*peer);
    ASSERT_TRUE(request.has_value());
    uint16_t number = static_cast<uint16_t>(request->bytes[7] | request->bytes[8] << 8);
    sendToServer(*peer, datagram(0x12, 0x0099, number));              // not a reply
    sendToServer(*peer, datagram(0x12, 0x8034, number, {'o', 'k'}));  // the reply
    ASSERT_TRUE(waitFor([&] { return memoText().contains("Received Data from : 127.0.0.3"); }));
    QString text = memoText();
    EXPECT_EQ(occurrences(text, "Sending Data to : 127.0.0.3 ["), 1u);
    EXPECT_FALSE(text.contains("Machine "));
    EXPECT_EQ(occurrences(text, "Received Data from"), 1u);
}

TEST_F(MonitorWindowTest, AutomaticReplyAnswersOnlyReceivedRequests) {
    auto peer = device(3);
    QTest::keyClicks(child<QLineEdit>("edtObjectID"), "12");
    QTest::keyClicks(child<QLineEdit>("edtMessageID"), "8405");
    child<QCheckBox>("chkResponse")->setChecked(true);
    window->composer()->addField();
    QTest::keyClicks(window->composer()->fields()[0]->valueEdit(), "7");
    // A response ID in the box: answering it would answer its own reply
    // again and again. Responses are never answered.
    sendToServer(*peer, datagram(0x12, 0x8405, 0x8001));
    EXPECT_FALSE(receive(*peer, 500).has_value());

    child<QLineEdit>("edtMessageID")->setText("405");
    sendToServer(*peer, datagram(0x12, 0x0405, 0x8123));
    auto reply = receive(*peer);
    ASSERT_TRUE(reply.has_value());
    // The reply carries the request's number: requesters match on it.
    EXPECT_EQ(reply->bytes, datagram(0x12, 0x8405, 0x8123, {0x07}));
    EXPECT_FALSE(receive(*peer, 500).has_value());

    child<QLineEdit>("edtObjectID")->clear();  // only the message ID: no reply
    sendToServer(*peer, datagram(0x12, 0x0405, 0x8003));
    EXPECT_FALSE(receive(*peer, 500).has_value());
}

TEST_F(MonitorWindowTest, ManualLogInFullFormatMatchesTheFixture) {
    TempFolder dir;
    std::string path = dir.path("MANUAL.LOG");
    auto peer = device(2);
    prompter.answers = {false};  // not the simple format
    prompter.fileNames = {QString::fromStdString(path)};
    window->findChild<QAction*>("mnuNewLogFile")->trigger();
    EXPECT_FALSE(window->findChild<QAction*>("mnuNewLogFile")->isEnabled());
    EXPECT_TRUE(window->findChild<QAction*>("mnuCloseLogFile")->isEnabled());
    sendToServer(*peer, datagram(0x0102, 0x0304, 0x8001, {'A', 'B'}));
    ASSERT_TRUE(waitForHandled(1));
    window->findChild<QAction*>("mnuCloseLogFile")->trigger();
    EXPECT_TRUE(window->findChild<QAction*>("mnuViewLogFile")->isEnabled());

    QString stars(60, '*');
    QString dateTime = QString::fromStdString(logDateTimeText(clock.moment));
    QString expected = stars + "\r\n" + dateTime + " - Start of Capture\r\n" +
                       "IP Addr  : ...\r\nObject ID: \r\nMessageID: \r\n" + stars + "\r\n" +
                       "\r\nMachine Received Data from : 127.0.0.2 [TIME (GAP ms)]\r\n\r\n" +
                       "  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F    0123456789ABCDEF\r\n" +
                       QString(72, '-') + "\r\n" + "  56 45 4B 02 01 04 03 01 80 41 42" +
                       QString(15 + 4, ' ') + "VEK......AB\r\n\r\n" + stars + "\r\n" + dateTime +
                       " - Log Capture Terminated\r\n" +
                       "Received 1, shown 1, logged 1, dropped 0, discarded 0\r\n" + stars + "\r\n";
    EXPECT_EQ(masked(fileText(path)).toStdString(), expected.toStdString());
}

TEST_F(MonitorWindowTest, AlwaysActiveScheduleEntryLogsItsTrafficInSimpleFormat) {
    TempFolder dir;
    std::string path = dir.path("SCHED.LOG");
    plat::ini::writeString("Schedule", "Item1", "1,,,127.0.0.2,,,\"" + path + "\",1",
                           "BUSPROBE.INI");
    window->loadSchedule();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "0/1 Active Scheduled Logs");
    EXPECT_TRUE(window->scheduleTimer()->isActive());
    window->scheduleTick();
    EXPECT_EQ(child<QLabel>("lblSchedule")->text(), "1/1 Active Scheduled Logs");
    auto two = device(2);
    auto four = device(4);
    sendToServer(*four, datagram(0x0102, 0x0304, 0x8001, {'x'}));
    sendToServer(*two, datagram(0x0102, 0x0304, 0x8002, {'A', 0x01}));
    ASSERT_TRUE(waitFor([&] { return window->handler().loggedCount() >= 1; }));
    window.reset();  // closes every log

    QString stars(60, '*');
    QString dateTime = QString::fromStdString(logDateTimeText(clock.moment));
    QString stop = QString::fromStdString(longTimeText(QTime(0, 0)));
    QString expected = stars + "\r\n" + dateTime + " - Start of Scheduled Capture\r\n" +
                       "Scheduled Stop Time is " + stop + "\r\n" +
                       "IP Addr  : 127.0.0.2\r\nObject ID: \r\nMessageID: \r\n" + stars + "\r\n" +
                       "STAMP 127.0.0.2       <- 0x0102/0x0304 8002 A<01>\r\n" + stars + "\r\n" +
                       dateTime + " - Log Capture Terminated\r\n" +
                       "Received 2, shown 2, logged 1, dropped 0, discarded 0\r\n" + stars + "\r\n";
    EXPECT_EQ(masked(fileText(path)).toStdString(), expected.toStdString());
    plat::ini::eraseSection("Schedule", "BUSPROBE.INI");
}

TEST_F(MonitorWindowTest, ScheduleItemsThatCannotWorkAreReportedAndLeftOut) {
    const std::pair<const char*, const char*> items[] = {
        {"1,8:00,9:00", "names no log file"},
        {"2,09:00,23.59,,,,x.LOG", "has a time that cannot be read (23.59)"},
        {"3,,,127.0.0.300,,,x.LOG", "has an IP filter that is not an address (127.0.0.300)"},
        {"4,,,,ZZ,,x.LOG", "has an Object ID filter that is not 1 to 4 hexadecimal digits (ZZ)"},
        {"5,,,,,12345,x.LOG",
         "has a Message ID filter that is not 1 to 4 hexadecimal digits (12345)"},
        {"6,,,127.0.0.4,12,8405,x.LOG", nullptr},
    };
    int number = 0;
    for (const auto& [item, problem] : items) {
        plat::ini::writeString("Schedule", "Item" + std::to_string(++number), item, "BUSPROBE.INI");
    }
    window->loadSchedule();
    std::vector<std::string> expected;
    number = 0;
    for (const auto& [item, problem] : items) {
        ++number;
        if (problem != nullptr) {
            expected.push_back(QStringLiteral("Capture Schedule: Schedule item %1 of BUSPROBE.INI "
                                              "%2 and is left out.")
                                   .arg(number)
                                   .arg(QString::fromLatin1(problem))
                                   .toStdString());
        }
    }
    std::vector<std::string> warnings;
    for (const auto& w : prompter.warnings) {
        warnings.push_back(w.toStdString());
    }
    EXPECT_EQ(warnings, expected);
    EXPECT_EQ(child<QLabel>("lblSchedule")->text().toStdString(), "0/1 Active Scheduled Logs");
    plat::ini::eraseSection("Schedule", "BUSPROBE.INI");
}

TEST_F(MonitorWindowTest, UnwritableLogFileIsReportedAndNothingIsLost) {
    prompter.fileNames = {QStringLiteral("/nonexistent-folder/X.LOG")};
    window->findChild<QAction*>("mnuNewLogFile")->trigger();
    ASSERT_EQ(prompter.warnings.size(), 1u);
    EXPECT_EQ(prompter.warnings[0],
              "Network Capture Open Error: Unable to successfully Log to specified Network "
              "Capture File !!");
    EXPECT_TRUE(window->findChild<QAction*>("mnuNewLogFile")->isEnabled());
    auto peer = device(2);
    sendToServer(*peer, datagram(1, 2, 0x8001));
    EXPECT_TRUE(waitForHandled(1));
}

TEST_F(MonitorWindowTest, FailedLogWritesAreReportedOnceAndCounted) {
    // /dev/full opens for appending and refuses every write.
    prompter.answers = {false, false};  // full format; keep the "existing" file
    prompter.fileNames = {QStringLiteral("/dev/full")};
    window->findChild<QAction*>("mnuNewLogFile")->trigger();
    auto peer = device(2);
    sendToServer(*peer, datagram(1, 0x0321, 0x8001));
    sendToServer(*peer, datagram(1, 0x0321, 0x8002));
    ASSERT_TRUE(waitForHandled(2));
    ASSERT_EQ(prompter.warnings.size(), 1u);
    EXPECT_EQ(prompter.warnings[0],
              "Network Capture Write Error: Unable to write to the Network Capture File "
              "/dev/full: No space left on device");
    EXPECT_GE(window->handler().manualLog.lostLines(), 3u);
    QString status = window->statusBar()->currentMessage();
    EXPECT_TRUE(status.contains("/dev/full")) << status.toStdString();

    // A scheduled log reports in the schedule label, never with a box.
    plat::ini::writeString("Schedule", "Item1", "1,,,,,,/dev/full", "BUSPROBE.INI");
    window->loadSchedule();
    window->scheduleTick();
    sendToServer(*peer, datagram(1, 0x0321, 0x8003));
    ASSERT_TRUE(waitForHandled(3));
    window->scheduleTick();
    EXPECT_EQ(prompter.warnings.size(), 1u);
    EXPECT_TRUE(
        child<QLabel>("lblSchedule")->text().endsWith("1 failed: full: No space left on device"))
        << child<QLabel>("lblSchedule")->text().toStdString();
    plat::ini::eraseSection("Schedule", "BUSPROBE.INI");
}

TEST_F(MonitorWindowTest, CountsAreShownAndWrittenWhereTrafficIsCut) {
    TempFolder dir;
    std::string path = dir.path("COUNTS.LOG");
    prompter.answers = {true};  // simple format
    prompter.fileNames = {QString::fromStdString(path)};
    window->findChild<QAction*>("mnuNewLogFile")->trigger();
    auto peer = device(2);
    sendToServer(*peer, datagram(1, 0x0331, 0x8001));
    sendToServer(*peer, datagram(1, 0x0331, 0x8002));
    ASSERT_TRUE(waitForHandled(2));
    EXPECT_EQ(child<QLabel>("lblCounts")->text(),
              "Received 2, shown 2, logged 2, dropped 0, discarded 0");
    window->findChild<QAction*>("mnuCloseLogFile")->trigger();
    EXPECT_NE(fileText(path).indexOf("Received 2, shown 2, logged 2, dropped 0, discarded 0\r\n" +
                                     QString(60, '*')),
              -1)
        << fileText(path).toStdString();

    window->setCaptureLimit(1);  // the store keeps the newest message only
    prompter.fileNames = {QString::fromStdString(dir.path("cut.pcapng"))};
    window->saveAsPcapng();
    std::string bytes = readFile(dir.path("cut.pcapng"));
    EXPECT_NE(bytes.find("1 message kept, 1 earlier message discarded"), std::string::npos);
}

TEST_F(MonitorWindowTest, MenuShortcutsLeaveEditingKeysToTheEditBoxes) {
    const QKeySequence::StandardKey editing[] = {QKeySequence::Cut,
                                                 QKeySequence::Copy,
                                                 QKeySequence::Paste,
                                                 QKeySequence::SelectAll,
                                                 QKeySequence::Undo,
                                                 QKeySequence::Redo,
                                                 QKeySequence::Delete,
                                                 QKeySequence::Backspace,
                                                 QKeySequence::DeleteStartOfWord,
                                                 QKeySequence::DeleteEndOfWord,
                                                 QKeySequence::MoveToStartOfLine};
    for (QAction* action : window->findChildren<QAction*>()) {
        for (auto key : editing) {
            for (const QKeySequence& taken : QKeySequence::keyBindings(key)) {
                EXPECT_NE(action->shortcut(), taken) << action->objectName().toStdString()
                                                     << " takes " << taken.toString().toStdString();
            }
        }
    }
    EXPECT_EQ(window->findChild<QAction*>("mnuCloseLogFile")->text(), "&Close Log File");
}

TEST_F(MonitorWindowTest, ViewLogFileSaysWhatToDoWithoutAProgram) {
    TempFolder dir;
    std::string path = dir.path("VIEW.LOG");
    prompter.answers = {false};
    prompter.fileNames = {QString::fromStdString(path)};
    window->findChild<QAction*>("mnuNewLogFile")->trigger();
    window->findChild<QAction*>("mnuCloseLogFile")->trigger();
    window->viewLogFile();  // the offscreen platform has no program for text files
    ASSERT_EQ(prompter.warnings.size(), 1u);
    EXPECT_EQ(prompter.warnings[0].toStdString(),
              "View Log File: No program is registered to open text files. Open " + path +
                  " with a text editor.");
}

TEST_F(MonitorWindowTest, FilterBoxesShowFourDigitsAndTheirLabelsDoNotOverlap) {
    window->show();
    window->displayFilteredTraffic();
    QApplication::processEvents();
    for (const char* name : {"edtFilterObject", "edtFilterMsg"}) {
        auto* box = child<QLineEdit>(name);
        box->setText("DDDD");
        QStyleOptionFrame option;
        option.initFrom(box);
        QRect text = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
        EXPECT_GE(text.width(), box->fontMetrics().horizontalAdvance("DDDD") + 4) << name;
    }
    auto* objectLabel = child<QLabel>("lblFilterObject");
    ASSERT_NE(objectLabel, nullptr);
    QWidget* ip = child<QWidget>("edtFilterIP");
    QRect labelRect(objectLabel->mapTo(window.get(), QPoint(0, 0)), objectLabel->size());
    QRect ipRect(ip->mapTo(window.get(), QPoint(0, 0)), ip->size());
    EXPECT_FALSE(labelRect.intersects(ipRect));
    EXPECT_EQ(objectLabel->buddy(), child<QWidget>("edtFilterObject"));
}

TEST_F(MonitorWindowTest, ListKeepsTheSessionPausesAndSearches) {
    auto peer = device(2);
    auto other = device(4);
    MessageListModel* model = window->listModel();
    sendToServer(*peer, datagram(0x0102, 0x0341, 0x8001, {0xAA, 0xBB, 0xCC}));
    sendToServer(*other, datagram(0x0102, 0x0342, 0x8002));
    ASSERT_TRUE(waitForHandled(2));
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_TRUE(model->rowText(0).contains("|<-|127.0.0.2|0102|0341|8001|waiting||AA BB CC"))
        << model->rowText(0).toStdString();

    // Paused, the rows stand still while traffic is captured and counted.
    QTest::mouseClick(child<QPushButton>("btnPause"), Qt::LeftButton);
    sendToServer(*peer, datagram(0x0102, 0x0343, 0x8003));
    sendToServer(*peer, datagram(0x0102, 0x0344, 0x8004));
    ASSERT_TRUE(waitForHandled(4));
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(window->captureStore().messages().size(), 4u);
    EXPECT_EQ(child<QLabel>("lblPaused")->text(), "Paused: 2 messages captured since");
    EXPECT_TRUE(child<QLabel>("lblCounts")->text().startsWith("Received 4,"));

    auto* search = child<QLineEdit>("edtSearch");
    search->setText("bb cc");
    EXPECT_TRUE(window->findNext());
    EXPECT_EQ(window->messageList()->currentIndex().row(), 0);
    search->setText("127.0.0.4");
    EXPECT_TRUE(window->findNext());
    EXPECT_EQ(window->messageList()->currentIndex().row(), 1);
    search->setText("0344");  // captured while paused: not in the list yet
    EXPECT_FALSE(window->findNext());

    QTest::mouseClick(child<QPushButton>("btnPause"), Qt::LeftButton);
    EXPECT_EQ(model->rowCount(), 4);
    EXPECT_TRUE(window->findNext());
    EXPECT_EQ(window->messageList()->currentIndex().row(), 3);

    // The store is bounded; the oldest leave the list first.
    window->setCaptureLimit(3);
    sendToServer(*peer, datagram(0x0102, 0x0345, 0x8005));
    ASSERT_TRUE(waitForHandled(5));
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_TRUE(model->rowText(0).contains("|0343|")) << model->rowText(0).toStdString();
}

TEST_F(MonitorWindowTest, RequestsArePairedWithTheirResponsesAndTheLatencyIsShown) {
    TempFolder dir;
    std::string path = dir.path("PAIRS.LOG");
    prompter.answers = {false};  // full format
    prompter.fileNames = {QString::fromStdString(path)};
    window->findChild<QAction*>("mnuNewLogFile")->trigger();
    auto peer = device(3);
    child<TVEKIPEdit>("edtNodeAddress")->setText("127.0.0.3");
    QTest::keyClicks(child<QLineEdit>("edtObjectID"), "ff00");
    QTest::keyClicks(child<QLineEdit>("edtMessageID"), "351");
    ASSERT_TRUE(window->composer()->sendFields());
    auto request = receive(*peer);
    ASSERT_TRUE(request.has_value());
    QTest::qWait(20);
    std::vector<uint8_t> answer = request->bytes;
    answer[6] |= 0x80;  // the response flag; same number
    sendToServer(*peer, answer);
    MessageListModel* model = window->listModel();
    ASSERT_TRUE(waitFor([&] { return model->rowCount() >= 2; }));
    QString requestRow = model->rowText(0);
    QString responseRow = model->rowText(model->rowCount() - 1);
    EXPECT_TRUE(requestRow.contains("|->|127.0.0.3|FF00|0351|")) << requestRow.toStdString();
    EXPECT_TRUE(requestRow.contains("|answered|")) << requestRow.toStdString();
    QRegularExpression latency(QStringLiteral("\\|8351\\|[0-9A-F]{4}\\|([0-9]+\\.[0-9]{3}) ms\\|"));
    auto match = latency.match(responseRow);
    ASSERT_TRUE(match.hasMatch()) << responseRow.toStdString();
    EXPECT_GE(match.captured(1).toDouble(), 15.0);
    EXPECT_TRUE(memoText().contains(QRegularExpression(
        QStringLiteral("Machine Received Data from : 127.0.0.3 \\[[0-9:]+ \\([0-9.]+ ms\\)\\] - "
                       "reply after [0-9]+\\.[0-9]{3} ms"))))
        << memoText().toStdString();
    window->findChild<QAction*>("mnuCloseLogFile")->trigger();
    EXPECT_NE(fileText(path).indexOf(QStringLiteral("] - reply after ")), -1);
}

TEST_F(MonitorWindowTest, AboutBoxShowsTheVersionsOrTheUnavailableLines) {
    TdlgAboutBox registered(window->registration());
    EXPECT_EQ(registered.findChild<QLabel*>("lblProduct")->text(),
              "VEK Network Testing Utility (32 Bit)");
    EXPECT_FALSE(registered.findChild<QLabel*>("lblServerVersion")->text().isEmpty());
    EXPECT_FALSE(registered.findChild<QLabel*>("lblLibraryVersion")->text().contains("UNABLE"));
    TdlgAboutBox unregistered(0);
    EXPECT_EQ(unregistered.findChild<QLabel*>("lblLibraryVersion")->text(),
              " * UNABLE TO REGISTER WITH VEK BASE *");
    EXPECT_EQ(unregistered.findChild<QLabel*>("lblServerVersion")->text(),
              "* NETWORK SUPPORT NOT AVAILABLE !!!! *");
}

TEST_F(MonitorWindowTest, SavedCaptureHoldsTheTraffic) {
    TempFolder dir;
    auto peer = device(2);
    sendToServer(*peer, datagram(0xFF00, 0x0C01, 0x8001, {0, 1}));
    ASSERT_TRUE(waitForHandled(1));
    prompter.fileNames = {QString::fromStdString(dir.path("cap.pcapng"))};
    window->saveAsPcapng();
    EXPECT_TRUE(prompter.warnings.empty());
    std::string bytes = readFile(dir.path("cap.pcapng"));
    ASSERT_GT(bytes.size(), 64u);
    EXPECT_NE(bytes.find(std::string("VEK\x00\xFF\x01\x0C\x01\x80", 9)), std::string::npos);

    // Opened again, the capture shows in the list as if captured live.
    MessageListModel* model = window->listModel();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_TRUE(window->importPcapng(QString::fromStdString(dir.path("cap.pcapng"))));
    ASSERT_EQ(model->rowCount(), 2);
    auto cells = [&](int row) { return model->rowText(row).section('|', 2, 6).toStdString(); };
    EXPECT_EQ(cells(1), cells(0));
    EXPECT_EQ(cells(1), "<-|127.0.0.2|FF00|0C01|8001");
    EXPECT_TRUE(memoText().count("Machine Received Data from : 127.0.0.2") == 2);
    if (!tsharkInstalled()) {
        GTEST_SKIP() << "tshark is not installed (Debian package tshark): capture not decoded";
    }
    std::string out = tsharkFields(dir.path("cap.pcapng"),
                                   " -e ip.src -e ip.dst -e udp.srcport -e udp.dstport"
                                   " -e vek.object_id -e vek.message_id -e vek.response"
                                   " -e vek.message_number",
                                   dir.path("tshark.err"));
    std::string expected = "127.0.0.2,127.0.0.1," + std::to_string(serverPorts().send) + "," +
                           std::to_string(serverPorts().receive) + ",0xff00,0x0c01,0,0x8001\n";
    EXPECT_NE(out.find(expected), std::string::npos) << out << readFile(dir.path("tshark.err"));
}

}  // namespace
}  // namespace busprobe::testing
