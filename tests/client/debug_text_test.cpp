// _Debug and DumpData into a file the caller names, and the text handed to
// the server's debug log.
#include <cstring>
#include <numeric>

#include "session_fixture.h"
#include "wire/hexdump.h"

namespace client_testing {
namespace {

class DebugFile : public ::testing::Test {
  protected:
    // One file per test: the tests may run one after another in one process.
    std::string path_ =
        stateDir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    void SetUp() override { ::mkdir(stateDir().c_str(), 0700); }
};

TEST_F(DebugFile, DebugAppendsFormattedTextWithoutTimeStamp) {
    _Debug(path_.c_str(), "value %d, text %s\n", 42, "abc");
    _Debug(path_.c_str(), "%s", "second");
    EXPECT_EQ(readFile(path_), "value 42, text abc\nsecond");
}

TEST_F(DebugFile, DebugTextIsCutAt4095Bytes) {
    std::string longText(5000, 'x');
    _Debug(path_.c_str(), "%s", longText.c_str());
    EXPECT_EQ(readFile(path_), std::string(4095, 'x'));
}

TEST_F(DebugFile, DumpOfSeventeenBytesByteForByte) {
    const uint8_t bytes[17] = {'A', 0x00, 0x0A, '%', 0x09, 0x0D, 0xFF, 'z', '0',
                               '1', '2',  '3',  '4', '5',  '6',  '7',  '8'};
    DumpData(path_.c_str(), sizeof bytes, bytes);
    std::string expected =
        "    00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F        0123456789ABCDEF\n" +
        std::string(80, '-') + "\n" +
        "    41 00 0A 25 09 0D FF 7A 30 31 32 33 34 35 36 37        A..%...z01234567\n" + "    38" +
        std::string(4 + 15 * 3 + 4, ' ') + "8\n" + "   \n";
    EXPECT_EQ(readFile(path_), expected);
}

// Long enough to be written in several pieces.
TEST_F(DebugFile, LongDumpEqualsTheWholeLayout) {
    std::vector<uint8_t> bytes(1000);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    DumpData(path_.c_str(), static_cast<uint32_t>(bytes.size()), bytes.data());
    EXPECT_EQ(readFile(path_), wire::hexDump(bytes));
}

TEST_F(DebugFile, UnopenableFileAndMissingDataAreSkipped) {
    std::string missing = stateDir() + "/no/such/folder/file.txt";
    _Debug(missing.c_str(), "text");
    DumpData(missing.c_str(), 4, "abcd");
    DumpData(path_.c_str(), 4, nullptr);
    _Debug(nullptr, "text");
    EXPECT_EQ(readFile(missing), "");
    EXPECT_EQ(readFile(path_), "");
}

TEST(ServerLogWithoutServer, DebugInternalReturnsAtOnceAndWritesNothing) {
    std::string log = readFile(stateDir() + "/VDEBUG32.TXT");
    auto start = std::chrono::steady_clock::now();
    _Debug_Internal(1, "lost %d\n", 1);
    DumpData_Internal(3, "abc");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(readFile(stateDir() + "/VDEBUG32.TXT"), log);
}

TEST_F(ServerSession, DebugInternalAndDumpReachTheServerLog) {
    _Debug_Internal(0, "client text %d\n", 7);
    _Debug_Internal(1, "stamped\n");
    const uint8_t bytes[3] = {'a', 'b', 'c'};
    DumpData_Internal(sizeof bytes, bytes);
    std::string log = readFile(stateDir() + "/VDEBUG32.TXT");
    EXPECT_NE(log.find("client text 7\n"), std::string::npos);
    size_t stamped = log.find("]\nstamped\n");
    ASSERT_NE(stamped, std::string::npos);
    EXPECT_EQ(log[log.rfind('\n', stamped) + 1], '[');
    EXPECT_NE(log.find(wire::hexDump(bytes)), std::string::npos);
}

// A dump longer than one 8192-byte block arrives in pieces, in order.
TEST_F(ServerSession, LongDumpReachesTheServerLogWhole) {
    std::vector<uint8_t> bytes(3000);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0x20});
    DumpData_Internal(static_cast<uint32_t>(bytes.size()), bytes.data());
    EXPECT_NE(readFile(stateDir() + "/VDEBUG32.TXT").find(wire::hexDump(bytes)), std::string::npos);
}

TEST_F(ServerSession, OverlongServerLogEntryIsCut) {
    std::string longText(9000, 'y');
    _Debug_Internal(0, "%s", longText.c_str());
    std::string log = readFile(stateDir() + "/VDEBUG32.TXT");
    EXPECT_NE(log.find(std::string(8191, 'y')), std::string::npos);
    EXPECT_EQ(log.find(std::string(8192, 'y')), std::string::npos);
}

}  // namespace
}  // namespace client_testing
