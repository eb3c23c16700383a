// Device numbers, list lines, the settings' device ranges and the CSV file.
#include "windows/object_list_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "windows/grid_csv.h"
#include "windows/integer_text.h"

namespace objscope {
namespace {

namespace fs = std::filesystem;

TEST(DeviceNumber, TextRule) {
    struct Case {
        const char* text;
        std::optional<uint16_t> device;
    } cases[] = {
        {"$1F", 31},
        {"1F", 1},
        {"", 0},
        {"  42 ", 42},
        {"x$1F", 31},
        {"65535", 65535},
        {"65536", std::nullopt},
        {"$10000", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"$1$2", 0},
        {"-5", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviceNumberFromText(c.text), c.device) << c.text;
}

TEST(IntegerLiteral, SignsAndHex) {
    EXPECT_EQ(IntegerLiteral("-12"), -12);
    EXPECT_EQ(IntegerLiteral("+7"), 7);
    EXPECT_EQ(IntegerLiteral("$ff"), 255);
    EXPECT_EQ(IntegerLiteral("12a"), std::nullopt);
    EXPECT_EQ(IntegerLiteral("$"), std::nullopt);
    EXPECT_EQ(IntegerLiteral(""), std::nullopt);
}

TEST(ListLines, ExactFormats) {
    EXPECT_EQ(ObjectListLine(100, 60, "EQ Filter Set"), "  100    (60)  EQ Filter Set");
    EXPECT_EQ(ObjectListLine(65535, 4000, "<unknown>"), "65535    (4000)  <unknown>");
    EXPECT_EQ(ClassListLine(226, "Test Manager"), "(226)  Test Manager");
    EXPECT_EQ(TotalLabel(164), "Total:  164  ");
    EXPECT_EQ(NetTotalLabel(39), "Net Total:  39  ");
    EXPECT_EQ(UploadingLabel(3, 10), "UpLoading Object 3 of  10");
    EXPECT_EQ(ProcessingLabel(1, 2), "Processing Object 1 of  2");
}

TEST(DeviceRanges, FromTheMapKeys) {
    fs::path dir = fs::temp_directory_path() / ("objscope-ranges-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "Tarncom.ini") << "[Device Mappings]\r\n"
                                          "MAP1=0,16,18,IP,127.0.0.2\r\n"
                                          "map2=0,$20,$21\r\n"
                                          "MAP3=0,5\r\n"
                                          "MAP4=0,9,8,IP,127.0.0.3\r\n"
                                          "Other=0,1,2\r\n";
    TINI ini;
    ini.SetFileName((dir / "Tarncom.ini").string());
    EXPECT_EQ(DeviceNumbersFromSettings(ini), (std::vector<uint16_t>{16, 17, 18, 32, 33}));
    TINI none;
    EXPECT_TRUE(DeviceNumbersFromSettings(none).empty());
    fs::remove_all(dir);
}

TEST(BlobClasses, TheListedOnes) {
    EXPECT_TRUE(IsBlobBearingClass(11));
    EXPECT_TRUE(IsBlobBearingClass(309));
    EXPECT_FALSE(IsBlobBearingClass(12));
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(GridCsv, BytesOfTheFile) {
    fs::path dir = fs::temp_directory_path() / ("objscope-csv-" + std::to_string(getpid()));
    fs::create_directories(dir);
    GridRowTexts rows{{"   [Class ID]", "65"}, {"P7 (dB1) [3p0]", "-3 dB"}, {"P5 (String)", ""}};
    ASSERT_EQ(WriteGridCsv((dir / "out.csv").string(), rows), "");
    EXPECT_EQ(
        FileBytes(dir / "out.csv"),
        "\"   [Class ID]\",\"65\"\r\n\"P7 (dB1) [3p0]\",\"-3 dB\"\r\n\"P5 (String)\",\"\"\r\n");
    // Only the file itself: no temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

TEST(GridCsv, UnwritableFolderWritesNothing) {
    fs::path dir = fs::temp_directory_path() / ("objscope-csv-ro-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "old.csv") << "old";
    chmod(dir.c_str(), 0500);
    std::string error = WriteGridCsv((dir / "old.csv").string(), {{"a", "b"}});
    bool root = geteuid() == 0;  // root writes anyway
    if (!root) {
        EXPECT_NE(error, "");
        EXPECT_EQ(FileBytes(dir / "old.csv"), "old");
    }
    chmod(dir.c_str(), 0700);
    EXPECT_NE(WriteGridCsv((dir / "missing" / "x.csv").string(), {{"a", "b"}}), "");
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace objscope
