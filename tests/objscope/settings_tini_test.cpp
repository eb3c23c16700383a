#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "settings/settings_source_id.h"
#include "settings/settings_tarncom.h"
#include "settings/tini.h"

namespace objscope {
namespace {

std::string fixture(const std::string& name) {
    return std::string(VEK_FIXTURE_DIR) + "/" + name;
}

TarncomSettings settingsFrom(const std::string& name) {
    TINI ini;
    ini.SetFileName(fixture(name));
    EXPECT_FALSE(ini.FileName().empty()) << name;
    return readTarncomSettings(ini);
}

TEST(SettingsTini, MissingFileLeavesNoFileName) {
    TINI ini;
    ini.SetFileName(fixture("no_such_file.ini"));
    EXPECT_EQ(ini.FileName(), "");
    EXPECT_EQ(ini.ReadString("My Machine", "MyNet", "0"), "0");
    EXPECT_TRUE(ini.ReadKeyLists("Device Mappings", "MAP").empty());
    ini.SetFileName("   ");
    EXPECT_EQ(ini.FileName(), "");
}

TEST(SettingsTini, NameIsTrimmedAndExpandedAgainstTheCurrentDirectory) {
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(fixture("cwd"));
    TINI ini;
    ini.SetFileName("  Tarncom.ini ");
    std::filesystem::current_path(previous);
    EXPECT_EQ(ini.FileName(), fixture("cwd") + "/Tarncom.ini");
    EXPECT_EQ(ini.ReadString("My Machine", "MyNet", "0"), "5");
}

TEST(SettingsTini, KeyListsByPrefixInKeyOrder) {
    TINI ini;
    ini.SetFileName(fixture("tarncom_mappings.ini"));
    auto lists = ini.ReadKeyLists("Device Mappings", "map");
    ASSERT_EQ(lists.size(), 6u);  // XMAP does not count
    EXPECT_EQ(*lists.at(0), (StringList{"MAP1", "0", "1", "15", "IP", "192.168.1.20"}));
    EXPECT_EQ(*lists.at(1), (StringList{"map2", "0", "16", "31", "COM", "$1F"}));
    EXPECT_EQ(*lists.at(2), (StringList{"Mapping", "7", "32", "47", "via IP link", "10.0.0.5"}));
    EXPECT_EQ(*lists.at(3), (StringList{"MAP4", "3"}));
    EXPECT_EQ(*lists.at(5), (StringList{"MAP6", "4,5", "6", "7", "COM3"}));
}

TEST(SettingsTarncom, MappingCases) {
    TarncomSettings settings = settingsFrom("tarncom_mappings.ini");
    EXPECT_EQ(settings.error, "");
    EXPECT_EQ(settings.myNet, 10);
    EXPECT_EQ(settings.machineNumber, 3u);
    EXPECT_TRUE(settings.monitor);
    ASSERT_EQ(settings.mappings.size(), 6u);

    const DeviceAddress ip{DeviceAddressType::NetworkGroupSubGroupNode, 0xC0A80114};
    EXPECT_EQ(settings.mappings[0], (DeviceMapping{0, 1, 15, Transport::Ip, ip, 0}));
    EXPECT_EQ(settings.mappings[1], (DeviceMapping{0, 16, 31, Transport::Serial, {}, 31}));
    const DeviceAddress ip2{DeviceAddressType::NetworkGroupSubGroupNode, 0x0A000005};
    EXPECT_EQ(settings.mappings[2], (DeviceMapping{7, 32, 47, Transport::Ip, ip2, 0}));
    EXPECT_EQ(settings.mappings[3], (DeviceMapping{3, 0, 0, Transport::None, {}, 0}));
    // Transport names are case-sensitive: "ip" is no transport.
    EXPECT_EQ(settings.mappings[4], (DeviceMapping{1, 2, 3, Transport::None, {}, 0}));
    // "4,5" keeps only its digits: 45.
    EXPECT_EQ(settings.mappings[5], (DeviceMapping{45, 6, 7, Transport::Serial, {}, 0}));

    EXPECT_EQ(findMapping(settings.mappings, 0, 15), &settings.mappings[0]);
    EXPECT_EQ(findMapping(settings.mappings, 0, 16), &settings.mappings[1]);
    EXPECT_EQ(findMapping(settings.mappings, 1, 5), nullptr);
}

TEST(SettingsTarncom, DefaultsWhenKeysOrFileAreMissing) {
    TarncomSettings fromFile = settingsFrom("tarncom_defaults.ini");
    EXPECT_EQ(fromFile.myNet, 2);
    EXPECT_EQ(fromFile.machineNumber, 999u);
    EXPECT_FALSE(fromFile.monitor);
    EXPECT_TRUE(fromFile.mappings.empty());

    TINI none;
    TarncomSettings withoutFile = readTarncomSettings(none);
    EXPECT_EQ(withoutFile.myNet, 0);
    EXPECT_EQ(withoutFile.machineNumber, 999u);
    EXPECT_TRUE(withoutFile.mappings.empty());
    EXPECT_EQ(withoutFile.error, "");
}

TEST(SettingsTarncom, RangeErrorsStopReading) {
    struct Case {
        const char* file;
        size_t mappingsKept;
        const char* errorPart;
    };
    const Case cases[] = {
        {"tarncom_range_error.ini", 1, "MAP2: Number out of range: \"70000\""},
        {"tarncom_bad_address.ini", 0, "Invalid IP address: \"127.0.0.256\""},
        {"tarncom_short_address.ini", 0, "Invalid IP address: \"127.0.2\""},
        {"tarncom_serial_range.ini", 0, "Number out of range: \"$10000\""},
        {"tarncom_mynet_range.ini", 0, "MyNet out of range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TarncomSettings settings = settingsFrom(c.file);
        EXPECT_EQ(settings.mappings.size(), c.mappingsKept);
        EXPECT_NE(settings.error.find(c.errorPart), std::string::npos) << settings.error;
    }
}

TEST(SettingsSourceId, FromTheSettingsFile) {
    auto noLookup = []() -> std::optional<uint32_t> {
        ADD_FAILURE() << "host address looked up for a machine number";
        return std::nullopt;
    };
    TarncomSettings withMachine = settingsFrom("tarncom_mappings.ini");
    EXPECT_EQ(deriveSourceId(withMachine.machineNumber, noLookup, nullptr), 0x8031);

    TarncomSettings withoutMachine = settingsFrom("tarncom_defaults.ini");
    auto hostAddress = []() -> std::optional<uint32_t> { return 0x0A00004D; };  // 10.0.0.77
    EXPECT_EQ(deriveSourceId(withoutMachine.machineNumber, hostAddress, nullptr), 0xF001 + 16 * 77);
}

TEST(SettingsSourceId, MachineNumbersAndHostFallbacks) {
    auto unresolved = []() -> std::optional<uint32_t> { return std::nullopt; };
    auto host = []() -> std::optional<uint32_t> { return 0x7F0000FF; };
    auto random = []() -> uint8_t { return 0x42; };
    EXPECT_EQ(deriveSourceId(0, unresolved, random), 0x8001);
    EXPECT_EQ(deriveSourceId(254, unresolved, random), 0x8FE1);
    EXPECT_EQ(deriveSourceId(255, host, random), 0xFFF1);
    EXPECT_EQ(deriveSourceId(UINT64_MAX, host, random), 0xFFF1);
    EXPECT_EQ(deriveSourceId(999, unresolved, random), 0xF001 + 16 * 0x42);
}

}  // namespace
}  // namespace objscope
