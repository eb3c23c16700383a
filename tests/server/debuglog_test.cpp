#include "debuglog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "private_dirs.h"
#include "wire/hexdump.h"

namespace {

using testing_support::PrivateDirs;
using testing_support::readFile;
using testing_support::writeFile;

const hub::LocalTime kFixedTime{2, 3, 2008, 9, 5, 3, 7};
const std::string kStamp = "[02/03/2008 - 09:05:03.07]\n";
const std::string kStartLines =
    kStamp + "** HUBSERVER (EXE) Starting....\n   ** HUBSERVER (EXE) Started... (Debug).\n";
const std::string kNotice = "Maximum Debug File Length of 512 KB Exceded, Truncating to 0 KB\n\n";

TEST(TimeStamp, MillisecondHasAtLeastTwoDigits) {
    struct Case {
        hub::LocalTime time;
        const char* expected;
    };
    const Case cases[] = {
        {kFixedTime, "[02/03/2008 - 09:05:03.07]\n"},
        {{12, 31, 2026, 23, 59, 59, 123}, "[12/31/2026 - 23:59:59.123]\n"},
        {{1, 1, 2000, 0, 0, 0, 0}, "[01/01/2000 - 00:00:00.00]\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hub::formatTimeStamp(c.time), c.expected);
    }
}

class DebugLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dirs_.state());
        SetDebugClock([] { return kFixedTime; });
    }
    void TearDown() override {
        RemoveDebugInterface();
        SetDebugClock({});
    }
    std::string log() const { return readFile(dirs_.log()); }

    PrivateDirs dirs_;
};

TEST_F(DebugLogTest, StartLinesOnNewAndExistingFile) {
    ASSERT_EQ(InitDebugInterface(), 1);
    EXPECT_EQ(GetDebugFile(), dirs_.log());
    EXPECT_EQ(log(), kStartLines);
    RemoveDebugInterface();

    ASSERT_EQ(InitDebugInterface(), 1);
    const std::string stop =
        "   ** HUBSERVER (EXE) Shutting Down... (Debug).\n** HUBSERVER (EXE) Exiting...\n";
    EXPECT_EQ(log(), kStartLines + stop + "\n" + kStartLines);
}

TEST_F(DebugLogTest, DebugFileSettingOverridesDefault) {
    dirs_.writeMainIni("[VEK BASE 32]\nDebugFile=" + dirs_.root() + "/other.txt\n");
    InitDebugInterface();
    EXPECT_EQ(GetDebugFile(), dirs_.root() + "/other.txt");
    EXPECT_EQ(readFile(dirs_.root() + "/other.txt"), kStartLines);
}

TEST_F(DebugLogTest, EntriesAreFormattedAndCutToTheBuffer) {
    InitDebugInterface(dirs_.log());
    _Debug_Internal(1, "value %d %s\n", 42, "x");
    _Debug_Internal(0, "plain\n");
    EXPECT_EQ(log(), kStartLines + kStamp + "value 42 x\nplain\n");

    std::string huge(10000, 'h');
    _Debug_Internal(1, "%s", huge.c_str());
    EXPECT_EQ(log(), kStartLines + kStamp + "value 42 x\nplain\n" + kStamp +
                         std::string(kDebugEntryMax - 1 - kStamp.size(), 'h'));
}

TEST_F(DebugLogTest, NothingIsWrittenAfterRemove) {
    InitDebugInterface(dirs_.log());
    RemoveDebugInterface();
    std::string before = log();
    _Debug_Internal(1, "late\n");
    _DumpData_Internal(3, "abc");
    uint8_t text[] = "client";
    EXPECT_EQ(WriteInternalDebugFile(text), 1);
    EXPECT_EQ(log(), before);
}

TEST_F(DebugLogTest, TruncatesOnlyWhenOverTheLimit) {
    InitDebugInterface(dirs_.log());
    // Fill the log to exactly the limit through client text.
    std::vector<uint8_t> filler(kDebugFileLimit - kStartLines.size(), 'f');
    WriteInternalDebugFile(filler);
    ASSERT_EQ(log().size(), kDebugFileLimit);
    _Debug_Internal(0, "A");  // exactly at the limit: no truncation
    ASSERT_EQ(log().size(), kDebugFileLimit + 1);
    _Debug_Internal(1, "B\n");  // one byte over: this entry starts a new file
    EXPECT_EQ(log(), kNotice + kStamp + "B\n");
    _Debug_Internal(0, "C\n");  // the notice does not count
    EXPECT_EQ(log(), kNotice + kStamp + "B\nC\n");
}

TEST_F(DebugLogTest, ExistingOversizedLogIsTruncatedAtTheFirstEntry) {
    writeFile(dirs_.log(), std::string(600000, 'x'));
    InitDebugInterface(dirs_.log());
    EXPECT_EQ(log(), kNotice + "\n" + kStartLines);
}

TEST_F(DebugLogTest, ClientTextStopsAtZeroByte) {
    InitDebugInterface(dirs_.log());
    const uint8_t withZero[] = {'h', 'i', '\n', 0, 'x', 'y'};
    const uint8_t withoutZero[] = {'o', 'k'};
    EXPECT_EQ(WriteInternalDebugFile(withZero), 1);
    EXPECT_EQ(WriteInternalDebugFile(withoutZero), 1);
    EXPECT_EQ(WriteInternalDebugFile({}), 1);
    EXPECT_EQ(log(), kStartLines + "hi\nok");
}

TEST_F(DebugLogTest, DumpGoesIntoTheLogWhole) {
    InitDebugInterface(dirs_.log());
    std::vector<uint8_t> small(17, 'a');
    std::vector<uint8_t> large(3000);
    for (size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<uint8_t>(i);
    }
    _DumpData_Internal(static_cast<uint32_t>(small.size()), small.data());
    _DumpData_Internal(static_cast<uint32_t>(large.size()), large.data());
    _DumpData_Internal(0, nullptr);
    EXPECT_EQ(log(), kStartLines + wire::hexDump(small) + wire::hexDump(large) + wire::hexDump({}));
}

TEST_F(DebugLogTest, UnwritableFolderIsSkippedSilently) {
    std::string missing = dirs_.root() + "/no/such/dir/LOG.TXT";
    EXPECT_EQ(InitDebugInterface(missing), 1);
    _Debug_Internal(1, "lost\n");
    _DumpData_Internal(2, "ab");
    RemoveDebugInterface();
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(DebugToFile, FormatsAndAppendsWithoutTheLog) {
    PrivateDirs dirs;
    std::string path = dirs.root() + "/named.txt";
    _Debug(path.c_str(), "n=%u\n", 7u);
    _Debug(path.c_str(), "%s", std::string(5000, 'z').c_str());
    _Debug(nullptr, "ignored");
    EXPECT_EQ(readFile(path), "n=7\n" + std::string(kDebugEntryMax - 1, 'z'));
}

}  // namespace

namespace {

// A link planted where the log goes must not redirect the server's writes:
// the log is not written through it, and the link's target stays untouched.
TEST_F(DebugLogTest, LinkPlantedAsTheLogIsNotFollowed) {
    std::string target = dirs_.root() + "/elsewhere";
    { std::ofstream(target) << "precious\n"; }
    ASSERT_EQ(::symlink(target.c_str(), dirs_.log().c_str()), 0);
    InitDebugInterface(dirs_.log());
    _Debug_Internal(0, "entry\n");
    EXPECT_EQ(readFile(target), "precious\n");
}

}  // namespace
