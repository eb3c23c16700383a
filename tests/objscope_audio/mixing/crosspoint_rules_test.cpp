// The offline crosspoint rules of the matrix editor, as a table: a grid
// before (one string per output, '1' connected), the settings, one action,
// the grid after (and the router's selections).
#include "audio/mixing/crosspoint_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace objscope::audio;

namespace {

using Rows = std::vector<std::string>;

TCrosspoints FromRows(const Rows& rows) {
    TCrosspoints points(static_cast<int>(rows.size()),
                        rows.empty() ? 0 : static_cast<int>(rows[0].size()));
    for (int o = 0; o < points.Outputs(); ++o) {
        for (int i = 0; i < points.Inputs(); ++i) {
            const bool up = rows[static_cast<size_t>(o)][static_cast<size_t>(i)] == '1';
            points.Set(o, i, up);
            if (up)
                points.SetSelection(o, i + 1);
        }
    }
    return points;
}

// Buttons, and the copies when they differ anywhere ("!" marks it).
Rows ToRows(const TCrosspoints& points) {
    Rows rows;
    for (int o = 0; o < points.Outputs(); ++o) {
        std::string row;
        for (int i = 0; i < points.Inputs(); ++i) {
            row += points.Connected(o, i) ? '1' : '.';
            if (points.Connected(o, i) != points.CopyConnected(o, i))
                row += '!';
        }
        rows.push_back(row);
    }
    return rows;
}

enum class Action { kPressUp, kPressDown, kDiagonal, kOneToOne, kForceOne };

struct Case {
    const char* what;
    TCrosspointSettings settings;
    Rows before;
    Action action;
    int o = 0, i = 0;  // the pressed crosspoint, from 0
    Rows after;
};

constexpr TCrosspointSettings Router(bool forceOne = false) {
    return {TMatrixKind::kRouter, TCombiningMode::kSwitchRouter, false, forceOne};
}
constexpr TCrosspointSettings Combiner(TCombiningMode mode, bool selfRoute = false) {
    return {TMatrixKind::kCombiner, mode, selfRoute, false};
}
constexpr auto kSwitch = TCombiningMode::kSwitchRouter;
constexpr auto kMixing = TCombiningMode::kMixingRouter;
constexpr auto kCross = TCombiningMode::kCrossCombine;
constexpr auto kGroup = TCombiningMode::kGroupCombine;

const Case kCases[] = {
    {"router: a release selects that input alone",
     Router(),
     {"1..", ".1."},
     Action::kPressUp,
     0,
     2,
     {"..1", ".1."}},
    {"router: a press down leaves the row without input",
     Router(),
     {"1..", ".1."},
     Action::kPressDown,
     1,
     1,
     {"1..", "..."}},
    {"router with force one: a press down is undone",
     Router(true),
     {"1..", ".1."},
     Action::kPressDown,
     1,
     1,
     {"1..", ".1."}},
    {"switch router: input 3 of output 2 alone",
     Combiner(kSwitch),
     {"111", "11.", "..."},
     Action::kPressUp,
     1,
     2,
     {"111", "..1", "..."}},
    {"switch router: even a press down connects",
     Combiner(kSwitch),
     {"1..", "..1"},
     Action::kPressDown,
     1,
     2,
     {"1..", "..1"}},
    {"mixing router: toggles alone",
     Combiner(kMixing),
     {"1..", "..1"},
     Action::kPressUp,
     1,
     0,
     {"1..", "1.1"}},
    {"mixing router: toggles off alone",
     Combiner(kMixing),
     {"1..", "1.1"},
     Action::kPressDown,
     1,
     2,
     {"1..", "1.."}},
    {"cross combine: connecting input 2 to output 1 connects input 1 to output 2",
     Combiner(kCross),
     {"1..", ".1.", "..1"},
     Action::kPressUp,
     0,
     1,
     {"11.", "11.", "..1"}},
    {"cross combine: a disconnect is mirrored",
     Combiner(kCross),
     {"11.", "11.", "..1"},
     Action::kPressDown,
     1,
     0,
     {"1..", ".1.", "..1"}},
    {"cross combine: no mirror outside the grid",
     Combiner(kCross),
     {"1...", ".1.."},
     Action::kPressUp,
     0,
     3,
     {"1..1", ".1.."}},
    {"cross combine with self-route: the diagonal stays",
     Combiner(kCross, true),
     {"1..", ".1.", "..1"},
     Action::kPressDown,
     1,
     1,
     {"1..", ".1.", "..1"}},
    {"cross combine without self-route: the diagonal goes",
     Combiner(kCross),
     {"1..", ".1.", "..1"},
     Action::kPressDown,
     1,
     1,
     {"1..", "...", "..1"}},
    {"group combine: joining room 3 to the group of rooms 1 and 2",
     Combiner(kGroup),
     {"11..", "11..", "..1.", "...1"},
     Action::kPressUp,
     2,
     0,
     {"111.", "111.", "111.", "...1"}},
    {"group combine: rooms apart join as a pair",
     Combiner(kGroup),
     {"1...", ".1..", "..1.", "...1"},
     Action::kPressUp,
     3,
     1,
     {"1...", ".1.1", "..1.", ".1.1"}},
    {"group combine: the larger room leaves the group",
     Combiner(kGroup),
     {"111.", "111.", "111.", "...1"},
     Action::kPressDown,
     0,
     2,
     {"11..", "11..", "..1.", "...1"}},
    {"group combine: more outputs than inputs",
     Combiner(kGroup),
     {"11", "11", "1."},
     Action::kPressDown,
     2,
     0,
     {"11", "11", ".."}},
    {"self-route: the diagonal connected, the rest kept",
     Combiner(kCross, true),
     {".1.", "...", "1.."},
     Action::kDiagonal,
     0,
     0,
     {"11.", ".1.", "1.1"}},
    {"1-to-1 on a wide grid",
     Combiner(kMixing),
     {"1111", "1111"},
     Action::kOneToOne,
     0,
     0,
     {"1...", ".1.."}},
    {"1-to-1 on a tall grid",
     Combiner(kMixing),
     {"11", "11", "11"},
     Action::kOneToOne,
     0,
     0,
     {"1.", ".1", ".."}},
    {"force one on a combiner: silent outputs get input 1",
     Combiner(kMixing),
     {"...", "..1", "..."},
     Action::kForceOne,
     0,
     0,
     {"1..", "..1", "1.."}},
    {"force one on a router: rows without selection select input 1",
     Router(true),
     {"...", ".1."},
     Action::kForceOne,
     0,
     0,
     {"1..", ".1."}},
};

}  // namespace

TEST(CrosspointRules, EveryCaseOfTheTable) {
    for (const Case& c : kCases) {
        TCrosspoints points = FromRows(c.before);
        switch (c.action) {
            case Action::kPressUp:
            case Action::kPressDown:
                PressCrosspoint(points, c.settings, c.o, c.i, c.action == Action::kPressUp);
                break;
            case Action::kDiagonal:
                ConnectDiagonal(points);
                break;
            case Action::kOneToOne:
                ConnectOneToOne(points);
                break;
            case Action::kForceOne:
                ForceOneSelection(points, c.settings.kind);
                break;
        }
        EXPECT_EQ(ToRows(points), c.after) << c.what;
    }
}

TEST(CrosspointRules, RouterSelectionFollowsThePresses) {
    TCrosspoints points = FromRows({"1..", ".1."});
    PressCrosspoint(points, Router(), 0, 2, true);
    EXPECT_EQ(points.Selection(0), 3);
    PressCrosspoint(points, Router(), 1, 1, false);
    EXPECT_EQ(points.Selection(1), 0);
    ForceOneSelection(points, TMatrixKind::kRouter);
    EXPECT_EQ(points.Selection(1), 1);
    ConnectOneToOne(points);
    EXPECT_EQ(points.Selection(0), 1);
    EXPECT_EQ(points.Selection(1), 2);
}

TEST(CrosspointRules, ButtonsAloneDifferFromTheirCopies) {
    TCrosspoints points(2, 3);
    points.SetAllCopies(true);
    points.SetCopy(1, 2, false);
    points.DisconnectAllButtons();
    points.SetButton(1, 2, true);
    points.SetButton(0, 0, true);
    const auto changed = points.ChangedFromCopies();
    ASSERT_EQ(changed.size(), 5u);
    EXPECT_EQ(changed[0].o, 0);
    EXPECT_EQ(changed[0].i, 1);
    EXPECT_EQ(changed[4].o, 1);
    EXPECT_EQ(changed[4].i, 2);
    points.SetButton(5, 5, true);  // outside: ignored
    PressCrosspoint(points, Combiner(kMixing), -1, 0, true);
    EXPECT_EQ(points.ChangedFromCopies().size(), 5u);
}
