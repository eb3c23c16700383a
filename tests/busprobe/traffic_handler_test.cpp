#include "traffic_handler.h"

#include <gtest/gtest.h>

#include "temp_folder.h"
#include "traffic_format.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

CapturedMessage message(Direction direction, uint32_t address, uint16_t objectId,
                        uint16_t messageId, uint16_t number = 0x8001,
                        std::vector<uint8_t> data = {}) {
    auto datagram = wire::buildDatagram({objectId, messageId, number}, data);
    return stampedMessage(direction, address, datagram.data(), datagram.size());
}

size_t headers(const std::string& text, const std::string& prefix) {
    size_t n = 0;
    for (size_t at = text.find(prefix + " : "); at != std::string::npos;
         at = text.find(prefix + " : ", at + 1)) {
        ++n;
    }
    return n;
}

TEST(TrafficHandler, MachineModeShowsEveryMessageWithItsDirection) {
    TrafficHandler handler;
    handler.handleNotification(message(Direction::Received, 0x7F000002, 1, 2));
    handler.handleNotification(message(Direction::Sent, 0x7F000003, 1, 2));
    DisplayUpdate update = handler.takeDisplayUpdate();
    EXPECT_FALSE(update.cleared);
    EXPECT_EQ(headers(update.text, "Machine Received Data from"), 1u);
    EXPECT_NE(update.text.find("Machine Sent Data to : 127.0.0.3 ["), std::string::npos);
    // empty line, header, empty line, column header, dashes, one row, empty line
    EXPECT_EQ(update.text.substr(0, 1), "\n");
    EXPECT_NE(update.text.find(std::string(kDumpColumnHeader) + "\n" + std::string(72, '-') +
                               "\n  56 45 4B 01 00 02 00 01 80"),
              std::string::npos);
}

TEST(TrafficHandler, HugeMessagesAreCutOnTheDisplayOnly) {
    testing::TempFolder dir;
    TrafficHandler handler;
    ASSERT_TRUE(handler.manualLog.open(dir.path("BIG.LOG")));
    handler.handleNotification(
        message(Direction::Received, 0x7F000002, 1, 2, 0x8001, std::vector<uint8_t>(100000, 0x41)));
    handler.manualLog.close();
    std::string text = handler.takeDisplayUpdate().text;
    EXPECT_NE(text.find("\n  ... 34473 more bytes not shown\n"), std::string::npos);
    std::string log = testing::readFile(dir.path("BIG.LOG"));
    size_t rows = 0;
    for (size_t at = log.find("AAAA\r\n"); at != std::string::npos;
         at = log.find("AAAA\r\n", at + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, 6251u);  // (9 + 100000) / 16 rounded up: the log has them all
}

TEST(TrafficHandler, EleventhMessageClearsTheDisplayFirst) {
    TrafficHandler handler;  // limit 10
    for (int i = 0; i < 10; ++i) {
        handler.handleNotification(message(Direction::Received, 0x7F000002, 1, 2));
    }
    DisplayUpdate first = handler.takeDisplayUpdate();
    EXPECT_FALSE(first.cleared);
    EXPECT_EQ(headers(first.text, "Machine Received Data from"), 10u);
    handler.handleNotification(message(Direction::Received, 0x7F000002, 1, 2));
    DisplayUpdate second = handler.takeDisplayUpdate();
    EXPECT_TRUE(second.cleared);
    EXPECT_EQ(headers(second.text, "Machine Received Data from"), 1u);
    EXPECT_EQ(handler.handledCounter(), 1);
}

TEST(TrafficHandler, FilteredModeComparesOnlyTheSetParts) {
    struct Case {
        TrafficFilter filter;
        uint32_t address;
        uint16_t objectId;
        uint16_t messageId;
        bool shown;
    };
    const Case cases[] = {
        {{"...", "", "0405"}, 0x7F000002, 1, 0x0405, true},
        {{"...", "", "0405"}, 0x7F000002, 1, 0x8405, true},
        {{"...", "", "0405"}, 0x7F000002, 1, 0x0406, false},
        {{"127.0.0.2", "", ""}, 0x7F000002, 1, 1, true},
        {{"127.0.0.2", "", ""}, 0x7F000004, 1, 1, false},
        {{"...", "ff00", ""}, 0x7F000004, 0xFF00, 1, true},
        {{"...", "FF00", ""}, 0x7F000004, 0xFF01, 1, false},
        {{"", "", ""}, 0x7F000004, 7, 7, true},
    };
    for (const auto& c : cases) {
        TrafficHandler handler;
        handler.mode = DisplayMode::Filtered;
        handler.displayFilter = c.filter;
        handler.handleNotification(
            message(Direction::Received, c.address, c.objectId, c.messageId));
        EXPECT_EQ(handler.shownCount(), c.shown ? 1u : 0u)
            << c.filter.ip << "/" << c.filter.object << "/" << c.filter.message;
    }
}

TEST(TrafficHandler, RepliesToTheLastFiveSendsAreShownInEveryMode) {
    TrafficHandler handler;
    handler.mode = DisplayMode::Program;
    handler.sentRing.record(0x7F000002, 0x0010, 0x8001);
    for (uint16_t n = 0x8002; n < 0x8007; ++n) {
        handler.sentRing.record(0x7F000009, 0x0011, n);  // pushes 0x8001 out of the ring
    }
    handler.sentRing.record(0x7F000003, 0x0020, 0x8100);
    handler.handleNotification(message(Direction::Received, 0x7F000003, 1, 0x0020, 0x8100));
    handler.handleNotification(message(Direction::Received, 0x7F000003, 1, 0x8020, 0x8101));
    handler.handleNotification(message(Direction::Received, 0x7F000002, 1, 0x8010, 0x8001));
    EXPECT_EQ(handler.shownCount(), 0u);
    handler.handleNotification(message(Direction::Received, 0x7F000003, 1, 0x8020, 0x8100));
    EXPECT_EQ(handler.shownCount(), 1u);
    EXPECT_EQ(headers(handler.takeDisplayUpdate().text, "Received Data from"), 1u);

    handler.mode = DisplayMode::Machine;  // shown twice there
    handler.handleNotification(message(Direction::Received, 0x7F000003, 1, 0x8020, 0x8100));
    EXPECT_EQ(handler.shownCount(), 3u);
}

TEST(TrafficHandler, ScheduledLoggingIsNotShownAndLeavesTheDisplayLimitAlone) {
    testing::TempFolder dir;
    ScheduleRow row{"", "", "", "", "", dir.path("S.LOG"), ""};
    TrafficHandler handler;
    handler.mode = DisplayMode::Program;
    handler.schedule.setEntries({scheduleEntryFromRow(row)});
    handler.schedule.tick(QDateTime::currentDateTime());
    for (int i = 0; i < 3; ++i) {
        handler.handleNotification(
            message(Direction::Sent, 0x7F000002, 1, 2, 0x8001, {0x41, 0x00}));
    }
    handler.flushLogs();
    EXPECT_EQ(handler.shownCount(), 0u);
    EXPECT_EQ(handler.loggedCount(), 3u);
    EXPECT_EQ(handler.handledCounter(), 0);
    std::string text = testing::readFile(dir.path("S.LOG"));
    EXPECT_NE(text.find("\r\n\r\nMachine Sent Data to : 127.0.0.2 ["), std::string::npos);
    EXPECT_NE(text.find("  56 45 4B 01 00 02 00 01 80 41 00" + std::string(19, ' ') +
                        "VEK......A.\r\n\r\n"),
              std::string::npos);
}

TEST(TrafficHandler, SendingEntriesGoToTheManualLogInFullFormat) {
    testing::TempFolder dir;
    TrafficHandler handler;
    handler.mode = DisplayMode::Program;
    ASSERT_TRUE(handler.manualLog.open(dir.path("M.LOG")));
    handler.manualSimple = true;
    handler.showSending(message(Direction::Sent, 0x7F000002, 1, 2));
    handler.handleNotification(message(Direction::Sent, 0x7F000002, 1, 2));  // not shown
    handler.manualLog.close();
    std::string text = testing::readFile(dir.path("M.LOG"));
    EXPECT_NE(text.find("\r\nSending Data to : 127.0.0.2 ["), std::string::npos);
    EXPECT_EQ(text.find("-> "), std::string::npos);
    EXPECT_EQ(handler.shownCount(), 1u);
}

TEST(TrafficHandler, EachLogKeepsItsOwnPreviousTime) {
    testing::TempFolder dir;
    ScheduleRow row{"", "", "", "", "", dir.path("GAP.LOG"), ""};
    TrafficHandler handler;  // machine mode: the display sees every message too
    handler.schedule.setEntries({scheduleEntryFromRow(row)});
    handler.schedule.tick(QDateTime::currentDateTime());
    CapturedMessage first = message(Direction::Received, 0x7F000002, 1, 2, 0x8001);
    CapturedMessage second = message(Direction::Received, 0x7F000002, 1, 2, 0x8002);
    second.steadyNs = first.steadyNs + 50'000'000;
    handler.handleNotification(first);
    handler.handleNotification(second);
    handler.flushLogs();
    std::string text = testing::readFile(dir.path("GAP.LOG"));
    EXPECT_NE(text.find("(50.000 ms)]"), std::string::npos) << text;
    EXPECT_NE(handler.takeDisplayUpdate().text.find("(50.000 ms)]"), std::string::npos);
}

}  // namespace
}  // namespace busprobe
