#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "values/numbers.h"
#include "settings/settings_comma_text.h"
#include "settings/settings_device_mapping.h"
#include "settings/settings_number_text.h"
#include "settings/settings_timed_countdown.h"
#include "settings/vek_list.h"

namespace objscope {
namespace {

TEST(SettingsNumbers, SpeedOfSound) {
    EXPECT_EQ(SpeedOfSound(0), 331450);
    EXPECT_EQ(SpeedOfSound(20), 343382);
    EXPECT_EQ(SpeedOfSound(-10), 325484);
    // 50 degrees: 29830.5 exactly, ties go to even.
    EXPECT_EQ(SpeedOfSound(50), 331450 + 29830);
    EXPECT_EQ(SpeedOfSound(-50), 331450 - 29830);
    EXPECT_EQ(SpeedOfSound(150), 331450 + 89492);           // 89491.5 -> even 89492
    EXPECT_EQ(SpeedOfSound(INT16_MAX), 331450 + 19549120);  // 19549119.87
    EXPECT_EQ(SpeedOfSound(INT16_MIN), 331450 - 19549716);  // -19549716.48
}

TEST(SettingsNumbers, RoundHalfAway) {
    struct Case {
        double x;
        int64_t rounded;
    };
    const Case cases[] = {{2.5, 3},   {-2.5, -3}, {2.4, 2}, {-2.4, -2}, {0.5, 1},
                          {-0.5, -1}, {2.6, 3},   {0, 0},   {7, 7},     {-0.49, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(RoundHalfAway(c.x), c.rounded);
    }
    EXPECT_EQ(RoundHalfAway(std::nan("")), 0);
    EXPECT_EQ(RoundHalfAway(1e300), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(RoundHalfAway(-1e300), std::numeric_limits<int64_t>::min());
}

TEST(SettingsNumbers, CleanNumberText) {
    struct Case {
        const char* text;
        const char* cleaned;
    };
    const Case cases[] = {
        {"12.5 dB", "12.5"}, {"12.5dB", "12.5"}, {"$1F dB", "$1F dB"},
        {"  -3 Hz ", "-3"},  {"", ""},           {"   ", ""},
        {"dB", ""},          {"7.", "7."},       {"100", "100"},
        {"1e3x", "1e3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CleanNumberText(c.text), c.cleaned);
    }
}

TEST(SettingsNumbers, SettingNumberRule) {
    struct Case {
        const char* text;
        uint64_t value;
    };
    const Case cases[] = {
        {"0", 0},           {"999", 999}, {"$1F", 31},        {"$1f", 31},
        {"1F$", 31},        {"", 0},      {"abc", 0},         {"-12", 12},
        {"1.5", 15},        {"$", 0},     {"$ff ff", 0xFFFF}, {"x$zz10", 16},
        {" 65535 ", 65535},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(settingNumber(c.text), c.value);
    }
    EXPECT_EQ(settingNumber("99999999999999999999999999"), UINT64_MAX);
    EXPECT_EQ(settingNumber("$FFFFFFFFFFFFFFFFFF"), UINT64_MAX);
}

TEST(SettingsCommaText, ItemsAndQuotes) {
    using List = std::vector<std::string>;
    struct Case {
        const char* text;
        List items;
    };
    const Case cases[] = {
        {"0, 1, 15, IP, 1.2.3.4", {"0", "1", "15", "IP", "1.2.3.4"}},
        {"a b", {"a", "b"}},
        {"\"a, b\",c", {"a, b", "c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {"", {}},
        {"   ", {}},
        {"\"open", {"open"}},
        {",", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(splitCommaText(c.text), c.items);
    }
}

TEST(SettingsAddresses, TextToAddressAndBack) {
    auto address = TextToAddress("192.168.1.20");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->type, DeviceAddressType::NetworkGroupSubGroupNode);
    EXPECT_EQ(address->address, 0xC0A80114u);
    EXPECT_EQ(AddressToText(address->address), "192.168.1.20");
    EXPECT_EQ(TextToAddress("$7F.0.0.$2")->address, 0x7F000002u);
    for (const char* bad : {"1.2.3", "1.2.3.4.5", "1.2.3.256", "", "999999999999999999999.1.1.1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(TextToAddress(bad));
    }
}

TEST(SettingsVekList, OwnsItsItems) {
    auto alive = std::make_shared<int>(0);
    struct Tracked {
        std::shared_ptr<int> counter;
        explicit Tracked(std::shared_ptr<int> c) : counter(std::move(c)) { ++*counter; }
        ~Tracked() { --*counter; }
    };
    {
        TVEKList<Tracked> list;
        list.emplace(alive);
        list.add(nullptr);  // an empty entry is skipped
        list.emplace(alive);
        EXPECT_EQ(*alive, 2);
        EXPECT_EQ(list.size(), 3u);
        EXPECT_EQ(list.at(1), nullptr);
        EXPECT_EQ(list.at(7), nullptr);
        auto taken = list.extract(0);
        EXPECT_EQ(list.size(), 2u);
        EXPECT_EQ(*alive, 2);
        taken.reset();
        EXPECT_EQ(*alive, 1);
    }
    EXPECT_EQ(*alive, 0);
}

TEST(SettingsTimedCountdown, CountsDownFromOneBelowTheStart) {
    TimedCountdown countdown(30);
    EXPECT_EQ(countdown.label(), "");
    EXPECT_FALSE(countdown.tick());
    EXPECT_EQ(countdown.label(), "29");
    int ticks = 1;
    while (!countdown.tick())
        ++ticks;
    EXPECT_EQ(ticks + 1, 30);
    EXPECT_EQ(countdown.label(), "0");
}

TEST(SettingsTimedCountdown, NothingToCountClosesAtTheFirstTick) {
    for (int seconds : {0, 1, -5}) {
        TimedCountdown countdown(seconds);
        EXPECT_TRUE(countdown.tick());
        EXPECT_EQ(countdown.label(), "0");
    }
}

TEST(SettingsTimedCountdown, TimeOutGivesTheDefaultAnswer) {
    EXPECT_EQ(TimedCountdown::answer(TimedCountdown::kTimedOutResult, 4), 4);
    EXPECT_EQ(TimedCountdown::answer(3, 4), 3);
}

}  // namespace
}  // namespace objscope
