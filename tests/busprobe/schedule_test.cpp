#include <gtest/gtest.h>

#include "capture_schedule.h"
#include "platform/ini.h"
#include "temp_folder.h"
#include "traffic_handler.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

using testing::readFile;
using testing::TempFolder;

QDateTime at(int h, int m, int s = 0) {
    return QDateTime(QDate(2026, 3, 4), QTime(h, m, s));
}

size_t count(const std::string& text, const std::string& what) {
    return testing::countOf(text, what);
}

TEST(ScheduleItems, EncodeQuotesAndDropsTrailingEmptyValues) {
    ScheduleRow row{"8:00", "17:00", "", "FF00", "", "/tmp/my log, \"a\".LOG", ""};
    std::string text = encodeScheduleItem(3, row);
    EXPECT_EQ(text, "3,8:00,17:00,,FF00,,\"/tmp/my log, \"\"a\"\".LOG\"");
    EXPECT_EQ(decodeScheduleItem(text), row);
    ScheduleRow shortRow = decodeScheduleItem("1,,,127.0.0.2");
    EXPECT_EQ(shortRow[kColIp], "127.0.0.2");
    EXPECT_EQ(shortRow[kColSimple], "");
}

TEST(ScheduleItems, TimeTexts) {
    struct Case {
        const char* text;
        int seconds;  // -1: not a time
    };
    const Case cases[] = {{"8:30", 8 * 3600 + 30 * 60},
                          {"17:45:10", 17 * 3600 + 45 * 60 + 10},
                          {"5:00 PM", 17 * 3600},
                          {"12:15 am", 15 * 60},
                          {"24:00", -1},
                          {"8:3", -1},
                          {"830", -1},
                          {"", -1},
                          {"ab:cd", -1},
                          {"0:00 PM", -1}};
    for (const auto& c : cases) {
        auto parsed = parseTimeOfDay(c.text);
        EXPECT_EQ(parsed.value_or(-1), c.seconds) << c.text;
    }
    EXPECT_EQ(insertTimeColon("830"), "8:30");
    EXPECT_EQ(insertTimeColon("1745"), "17:45");
    EXPECT_EQ(insertTimeColon("17:45"), "17:45");
    EXPECT_EQ(insertTimeColon("12345"), "12345");
}

TEST(ScheduleItems, IniRoundTripReadsItemKeysInFileOrder) {
    TempFolder dir;
    std::string ini = dir.path("BUSPROBE.INI");
    std::vector<ScheduleRow> rows{{"8:00", "9:00", "", "", "", "a.LOG", "1"},
                                  {"", "", "", "", "", "", ""},  // no log file: not stored
                                  {"", "", "", "", "0405", "b.LOG", ""}};
    ASSERT_TRUE(writeScheduleRows(ini, rows));
    plat::ini::writeString("Schedule", "Other", "x", ini);
    plat::ini::writeString("Schedule", "ITEMZ", "9,,,,,,c.LOG", ini);
    auto read = readScheduleRows(ini);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0], rows[0]);
    EXPECT_EQ(read[1], rows[2]);
    EXPECT_EQ(read[2][kColLogFile], "c.LOG");
}

TEST(ScheduleEntries, BuiltFromRows) {
    ScheduleRow bad{"8:00", "nonsense", "", "", "", "x.LOG", "257"};
    ScheduleEntry entry = scheduleEntryFromRow(bad);
    EXPECT_TRUE(entry.always);  // a time that does not convert makes it always
    EXPECT_TRUE(bad[kColStart].empty() && bad[kColStop].empty());
    EXPECT_EQ(entry.simpleFormat, 1);  // 257 kept in 8 bits
    ScheduleRow timed{"8:00", "17:00", "", "", "", "x.LOG", "abc"};
    entry = scheduleEntryFromRow(timed);
    EXPECT_FALSE(entry.always);
    EXPECT_EQ(entry.start, 8 * 3600);
    EXPECT_EQ(entry.stop, 17 * 3600);
    EXPECT_FALSE(entry.simple());
}

TEST(CaptureSchedule, OpensAtStartAndClosesAfterStop) {
    TempFolder dir;
    std::string log = dir.path("DAY.LOG");
    ScheduleRow row{"8:00", "17:00", "", "", "", log, ""};
    CaptureSchedule schedule;
    schedule.setEntries({scheduleEntryFromRow(row)});
    EXPECT_EQ(schedule.label(), "0/1 Active Scheduled Logs");

    schedule.tick(at(7, 59, 59));
    EXPECT_EQ(schedule.activeCount(), 0u);
    EXPECT_TRUE(readFile(log).empty());

    schedule.tick(at(8, 0));
    EXPECT_EQ(schedule.label(), "1/1 Active Scheduled Logs");
    schedule.tick(at(17, 0));
    EXPECT_EQ(schedule.activeCount(), 1u);
    schedule.tick(at(17, 0, 1));
    EXPECT_EQ(schedule.activeCount(), 0u);

    std::string text = readFile(log);
    EXPECT_EQ(count(text, " - Start of Scheduled Capture\r\n"), 1u);
    EXPECT_EQ(count(text, "Scheduled Stop Time is "), 1u);
    EXPECT_EQ(count(text, " - Log Capture Terminated\r\n"), 1u);
    EXPECT_EQ(count(text, std::string(60, '*') + "\r\n"), 4u);
}

TEST(CaptureSchedule, EntriesSharingAFileKeepItOpenWhileAnyIsActive) {
    TempFolder dir;
    std::string log = dir.path("SHARED.LOG");
    ScheduleRow early{"8:00", "9:00", "", "", "", log, "1"};
    ScheduleRow late{"8:30", "10:00", "", "", "", log, "1"};
    TrafficHandler handler;
    handler.schedule.setEntries({scheduleEntryFromRow(early), scheduleEntryFromRow(late)});
    handler.schedule.tick(at(8, 45));
    ASSERT_EQ(handler.schedule.activeCount(), 2u);
    EXPECT_EQ(handler.schedule.entries()[0].log, handler.schedule.entries()[1].log);

    handler.schedule.tick(at(9, 30));  // the first entry ends, the second goes on
    EXPECT_EQ(handler.schedule.activeCount(), 1u);
    auto datagram = wire::buildDatagram({0x0102, 0x0304, 0x8001}, std::vector<uint8_t>{'z'});
    CapturedMessage m =
        stampedMessage(Direction::Received, 0x7F000002, datagram.data(), datagram.size());
    handler.handleNotification(m);
    handler.flushLogs();
    std::string text = readFile(log);
    EXPECT_EQ(count(text, "127.0.0.2       <- 0x0102/0x0304 8001 z\r\n"), 1u);

    handler.schedule.tick(at(10, 0, 1));
    EXPECT_EQ(handler.schedule.activeCount(), 0u);
    text = readFile(log);
    EXPECT_EQ(count(text, " - Start of Scheduled Capture"), 2u);
    // One file, one closing block: it ends when the file closes.
    EXPECT_EQ(count(text, " - Log Capture Terminated"), 1u);

    handler.schedule.tick(at(9, 0));  // both open again, then all close at once
    ASSERT_EQ(handler.schedule.activeCount(), 2u);
    handler.schedule.closeAll(at(9, 0, 1));
    EXPECT_EQ(count(readFile(log), " - Log Capture Terminated"), 2u);
}

TEST(CaptureSchedule, UnwritableLogStaysInactiveAndIsTriedAgain) {
    TempFolder dir;
    std::string log = dir.path("missing/folder/X.LOG");
    ScheduleRow row{"", "", "", "", "", log, ""};
    CaptureSchedule schedule;
    schedule.setEntries({scheduleEntryFromRow(row)});
    schedule.tick(at(12, 0));
    EXPECT_EQ(schedule.activeCount(), 0u);
    QDir().mkpath(QString::fromStdString(dir.path("missing/folder")));
    schedule.tick(at(12, 0, 1));
    EXPECT_EQ(schedule.activeCount(), 1u);
    schedule.closeAll(at(12, 0, 2));
    EXPECT_EQ(count(readFile(log), " - Log Capture Terminated"), 1u);
}

}  // namespace
}  // namespace busprobe
