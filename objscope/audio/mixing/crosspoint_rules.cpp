#include "audio/mixing/crosspoint_rules.h"

#include <algorithm>
#include <set>

namespace objscope::audio {

namespace {

using Rooms = std::set<int>;

// Only `i` of row o connected (nothing when i is outside the row).
void ConnectOnly(TCrosspoints& points, int o, int i) {
    for (int j = 0; j < points.Inputs(); ++j)
        points.Set(o, j, j == i);
}

void PressRouter(TCrosspoints& points, const TCrosspointSettings& settings, int o, int i,
                 bool connected) {
    if (connected) {
        points.SetSelection(o, i + 1);
        ConnectOnly(points, o, i);
    } else if (settings.forceOne) {
        points.Set(o, i, true);  // undone: the row keeps its input
    } else {
        points.Set(o, i, false);
        points.SetSelection(o, 0);
    }
}

// Rooms k whose input is connected to output o.
void AddInputsHeardBy(const TCrosspoints& points, int o, Rooms& rooms) {
    for (int k = 0; k < points.Inputs(); ++k) {
        if (points.Connected(o, k))
            rooms.insert(k);
    }
}

// Rooms k whose output hears input i.
void AddOutputsHearing(const TCrosspoints& points, int i, Rooms& rooms) {
    for (int k = 0; k < points.Outputs(); ++k) {
        if (points.Connected(k, i))
            rooms.insert(k);
    }
}

// Connect in Group Combine: every room of the group hears exactly the group.
void GroupConnect(TCrosspoints& points, int o, int i) {
    const bool oIsInput = o < points.Inputs();
    Rooms group;
    AddInputsHeardBy(points, o, group);
    if (i < points.Outputs())
        AddInputsHeardBy(points, i, group);
    if (oIsInput) {
        AddOutputsHearing(points, o, group);
        AddOutputsHearing(points, i, group);
    } else {
        group.insert(o);
    }
    for (int room : group) {
        if (room >= points.Outputs())
            continue;
        for (int j = 0; j < points.Inputs(); ++j)
            points.Set(room, j, group.count(j) != 0);
    }
}

// Disconnect in Group Combine: room m = max(o, i) leaves the group.
void GroupDisconnect(TCrosspoints& points, int o, int i) {
    const int m = std::max(o, i);
    Rooms group{o, i};
    if (points.Inputs() >= points.Outputs())
        AddInputsHeardBy(points, o, group);
    else
        AddOutputsHearing(points, i, group);
    for (int room : group) {
        if (room >= points.Outputs())
            continue;
        if (room == m) {
            for (int j = 0; j < points.Inputs(); ++j) {
                if (j != m)
                    points.Set(room, j, false);
            }
        } else if (m < points.Inputs()) {
            points.Set(room, m, false);
        }
    }
}

void PressCombine(TCrosspoints& points, const TCrosspointSettings& settings, int o, int i,
                  bool connected) {
    if (settings.selfRoute && o == i) {
        points.Set(o, i, true);  // undone: a room always hears itself
        return;
    }
    points.Set(o, i, connected);
    if (points.Inside(i, o))
        points.Set(i, o, connected);  // the mirror: room i hears room o likewise
    if (settings.mode != TCombiningMode::kGroupCombine)
        return;
    if (connected)
        GroupConnect(points, o, i);
    else
        GroupDisconnect(points, o, i);
}

}  // namespace

TCrosspoints::TCrosspoints(int outputs, int inputs)
    : outputs_(std::max(outputs, 0)),
      inputs_(std::max(inputs, 0)),
      up_(static_cast<size_t>(outputs_) * inputs_, 0),
      copy_(up_.size(), 0),
      selection_(static_cast<size_t>(outputs_), 0) {}

void TCrosspoints::Set(int o, int i, bool connected) {
    SetButton(o, i, connected);
    SetCopy(o, i, connected);
}

void TCrosspoints::SetButton(int o, int i, bool connected) {
    if (Inside(o, i))
        up_[Cell(o, i)] = connected ? 1 : 0;
}

void TCrosspoints::SetCopy(int o, int i, bool connected) {
    if (Inside(o, i))
        copy_[Cell(o, i)] = connected ? 1 : 0;
}

void TCrosspoints::DisconnectAllButtons() {
    std::fill(up_.begin(), up_.end(), 0);
}

void TCrosspoints::SetAllCopies(bool connected) {
    std::fill(copy_.begin(), copy_.end(), connected ? 1 : 0);
}

std::vector<TCrosspoints::Point> TCrosspoints::ChangedFromCopies() const {
    std::vector<Point> changed;
    for (int o = 0; o < outputs_; ++o) {
        for (int i = 0; i < inputs_; ++i) {
            if (up_[Cell(o, i)] != copy_[Cell(o, i)])
                changed.push_back({o, i});
        }
    }
    return changed;
}

void PressCrosspoint(TCrosspoints& points, const TCrosspointSettings& settings, int o, int i,
                     bool connected) {
    if (!points.Inside(o, i))
        return;
    if (settings.kind == TMatrixKind::kRouter) {
        PressRouter(points, settings, o, i, connected);
        return;
    }
    switch (settings.mode) {
        case TCombiningMode::kSwitchRouter:
            ConnectOnly(points, o, i);  // any press: this input alone
            break;
        case TCombiningMode::kMixingRouter:
            points.Set(o, i, connected);
            break;
        case TCombiningMode::kCrossCombine:
        case TCombiningMode::kGroupCombine:
            PressCombine(points, settings, o, i, connected);
            break;
    }
}

void ConnectDiagonal(TCrosspoints& points) {
    for (int k = 0; k < std::min(points.Outputs(), points.Inputs()); ++k)
        points.Set(k, k, true);
}

void ConnectOneToOne(TCrosspoints& points) {
    for (int o = 0; o < points.Outputs(); ++o) {
        ConnectOnly(points, o, o);
        points.SetSelection(o, o < points.Inputs() ? o + 1 : 0);
    }
}

void ForceOneSelection(TCrosspoints& points, TMatrixKind kind) {
    if (points.Inputs() == 0)
        return;
    for (int o = 0; o < points.Outputs(); ++o) {
        if (kind == TMatrixKind::kRouter) {
            if (points.Selection(o) == 0) {
                points.SetSelection(o, 1);
                points.Set(o, 0, true);
            }
            continue;
        }
        bool any = false;
        for (int i = 0; i < points.Inputs() && !any; ++i)
            any = points.Connected(o, i);
        if (!any)
            points.Set(o, 0, true);
    }
}

}  // namespace objscope::audio
