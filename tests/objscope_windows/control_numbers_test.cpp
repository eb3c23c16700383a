// The numbers every bound control shows and reads: decimals from a type's
// steps, rounding to the resolution, the value's text and typed numbers.
#include "windows/control_numbers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "values/property_typed_values.h"

namespace objscope {
namespace {

TEST(ControlNumbers, DecimalsFollowTheStepsPerUnit) {
    const std::pair<double, int> cases[] = {
        {0, 0},              // counts as one step per unit
        {1, 0},   {0.1, 0},  // coarse steps show whole numbers
        {2, 1},              // 0.5 steps
        {10, 1},  {100, 2},  // exact powers of ten add no digit
        {128, 3},            // 0.0078125 steps
        {256, 3},
    };
    for (const auto& [steps, decimals] : cases)
        EXPECT_EQ(DecimalsForSteps(steps), decimals) << steps;
}

TEST(ControlNumbers, ResolutionOfATypeAndRounding) {
    TU32VEKDB1 gain;
    const TValueResolution db = ResolutionOf(gain);
    EXPECT_DOUBLE_EQ(db.stepsPerUnit, 2);
    EXPECT_EQ(db.decimals, 1);
    EXPECT_EQ(db.units, " dB");
    EXPECT_EQ(ResolutionOf(TU32UByte()).decimals, 0);

    const struct {
        double value, steps, rounded;
    } cases[] = {
        {-12.3, 2, -12.5}, {0.25, 2, 0}, {0.75, 2, 1},  // halves go to the even step
        {2.5, 1, 2},       {3.5, 1, 4},  {2.5, 0, 2},   // steps 0 counts as 1
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(RoundToResolution(c.value, c.steps), c.rounded) << c.value;
}

TEST(ControlNumbers, ValueTextAndTypedNumbers) {
    EXPECT_EQ(FormatValueText(-12.5, 1, " dB"), "-12.5 dB");
    EXPECT_EQ(FormatValueText(4.333, 3, ""), "4.333");
    EXPECT_EQ(FormatValueText(7, 0, " Sec"), "7 Sec");

    const std::pair<const char*, double> cases[] = {
        {"  12.5 dB", 12.5}, {"1.5 : 1", 1.5}, {"2.0 : 1", 2}, {"-3E1", -30}, {"+5", 5},
        {".5", 0.5},         {"abc", 0},       {"", 0},        {"   ", 0},    {"1-2", 0},
        {"1E", 0},           {"+-1", 0},       {"1E999", 0},   {"12,5", 12},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(ParseTypedNumber(text), value) << '"' << text << '"';
}

// Switches the numbers to a locale with a decimal comma: an installed one,
// or one compiled from the system's locale sources into a private folder.
bool UseDecimalCommaLocale() {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        return true;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vek-locale-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string compile =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    const bool compiled = std::system(compile.c_str()) == 0;
    ::setenv("LOCPATH", folder.c_str(), 1);
    const bool set = compiled && std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(folder);
    return set;
}

TEST(ControlNumbers, DecimalPointWhateverTheLocale) {
    // A locale with a decimal comma must neither change the text shown nor
    // make every typed number read as 0.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!UseDecimalCommaLocale())
        GTEST_SKIP() << "no locale with a decimal comma available (package locales)";
    ASSERT_EQ(std::localeconv()->decimal_point, std::string(","));
    const std::string shown = FormatValueText(-12.5, 1, " dB");
    const double read = ParseTypedNumber("12.5 dB");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(shown, "-12.5 dB");
    EXPECT_DOUBLE_EQ(read, 12.5);
}

}  // namespace
}  // namespace objscope
