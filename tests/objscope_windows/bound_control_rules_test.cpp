// Rules of the bound controls apart from their windows: the label's
// shortening with "..." and the combo box's choice of the nearest item.
#include <gtest/gtest.h>

#include "windows/tarn_combo_box.h"
#include "windows/tarn_controls.h"

namespace objscope {
namespace {

// One unit per character keeps the cases readable.
int Characters(const QString& text) {
    return static_cast<int>(text.size());
}

TEST(LabelShortening, CutsBeforeTheEllipsisUntilItFits) {
    const struct {
        const char* text;
        int width;
        const char* shown;
    } cases[] = {
        {"Filter 1", 8, "Filter 1"},  // fits as it is
        {"Filter 1", 20, "Filter 1"},
        {"Filter 1", 7, "Filt..."},  // "..." appended, characters before it go
        {"Filter 1", 4, "F..."},
        {"Filter 1", 3, "..."},  // only "..." fits
        {"Filter 1", 2, "..."},  // narrower than "...": still "..."
        {"Filter 1", 0, "..."},
        {"", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortenToWidth(c.text, c.width, Characters).toStdString(), c.shown)
            << c.text << " in " << c.width;
}

TEST(ComboNearestItem, FirstOfTheNearestWins) {
    const QStringList ratios{"1 : 1", "2.0 : 1", "4 : 1"};
    const QStringList ties{"1", "3", "2", "2"};
    const struct {
        const QStringList& items;
        double value;
        int index;
    } cases[] = {
        {ratios, 1.4, 0},                                      // "1 : 1" reads 1, "2.0 : 1" reads 2
        {ratios, 1.6, 1}, {ratios, 100, 2}, {ratios, 1.5, 0},  // equally near: the first stays
        {ties, 2, 2},                                          // two equal items: the first of them
        {ties, 2.5, 1},  // "3" and "2" equally near: "3" comes first
    };
    for (const auto& c : cases)
        EXPECT_EQ(NearestItemIndex(c.items, c.value), c.index) << c.value;
    EXPECT_EQ(NearestItemIndex({}, 1), -1);
    EXPECT_EQ(NearestItemIndex({"Off", "x"}, 0), 0);  // texts without a number read 0
}

}  // namespace
}  // namespace objscope
