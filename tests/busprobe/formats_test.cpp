#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "clock.h"
#include "hex_text.h"
#include "traffic_format.h"

namespace busprobe {
namespace {

TEST(TrafficFormat, HeaderLineHasAddressTimeAndGap) {
    EXPECT_EQ(headerLine(kPrefixMachineReceived, 0xC0A80114, "8:5:3:7", 1.23456),
              "Machine Received Data from : 192.168.1.20 [8:5:3:7 (1.235 ms)]");
    EXPECT_EQ(displayTimeText(QTime(8, 5, 3, 7)), "8:5:3:7");
    EXPECT_EQ(simpleTimeText(QTime(8, 5, 3, 7)), "08:05:03:007");
}

TEST(TrafficFormat, ShortLastRowIsPaddedBeforeTheCharacterColumn) {
    std::vector<uint8_t> bytes(20);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>('A' + i);
    }
    auto rows = dumpRows(bytes);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50    ABCDEFGHIJKLMNOP");
    EXPECT_EQ(rows[1], "  51 52 53 54" + std::string(36, ' ') + "    QRST");
    EXPECT_EQ(rows[0].size(), kDumpColumnHeader.size());
}

TEST(TrafficFormat, NonPrintingBytesNeverReachTheText) {
    std::vector<uint8_t> bytes{0x00, 0x1F, 0x7F, 0x80, 0xFF, 'a', '\r', '\n'};
    auto rows = dumpRows(bytes);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].ends_with(".....a.."));
    std::string line = simpleLine("", std::vector<uint8_t>{'V', 'E', 'K', 0x00, 0xFF, 0x05, 0x84,
                                                           0x01, 0x80, 'h', 0x0D, 0xC3, 'i'});
    EXPECT_EQ(line, "0xFF00/0x8405 8001 h<0D><C3>i");
}

TEST(TrafficFormat, SimpleLeadMarksMachineDirections) {
    EXPECT_EQ(simpleLead("2026-01-02", "03:04:05:006", 0x7F000002, kPrefixMachineReceived),
              "2026-01-02 03:04:05:006 127.0.0.2       <- ");
    EXPECT_EQ(simpleLead("d", "t", 0x7F000002, kPrefixMachineSent), "d t 127.0.0.2       -> ");
    EXPECT_EQ(simpleLead("d", "t", 0x7F000002, kPrefixReply), "d t 127.0.0.2       ");
}

TEST(TrafficFormat, ShortDatagramShowsMissingHeaderBytes) {
    EXPECT_EQ(simpleLine("", std::vector<uint8_t>{'V', 'E', 'K', 1}), "0x--01/0x---- ---- ");
    EXPECT_TRUE(dumpRows({}).empty());
}

TEST(Program, HelpNamesTheOptionsAndFiles) {
    std::string out;
    FILE* pipe = ::popen(VEK_BIN_DIR "/busprobe --help", "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    EXPECT_EQ(::pclose(pipe), 0);
    for (const char* text : {"Usage: busprobe", "--help", "BUSPROBE.INI", "*.MSG", "*.LOG",
                             "pcapng", "VEK_CONFIG_DIR"}) {
        EXPECT_NE(out.find(text), std::string::npos) << text;
    }
}

TEST(HexText, ReadsDigitsAndIntegerTexts) {
    EXPECT_EQ(readHex16(""), 0);
    EXPECT_EQ(readHex16("1ff"), 0x1FF);
    EXPECT_EQ(readHex16("12345"), 0x2345);
    EXPECT_EQ(hexText(0x1F, 4), "001F");
    EXPECT_EQ(readIntegerText("-12", 7), -12);
    EXPECT_EQ(readIntegerText("$1F", 7), 31);
    EXPECT_EQ(readIntegerText("1x", 7), 7);
    EXPECT_EQ(readIntegerText("", 7), 7);
    EXPECT_EQ(readIntegerText("99999999999", 7), 7);
}

}  // namespace
}  // namespace busprobe
