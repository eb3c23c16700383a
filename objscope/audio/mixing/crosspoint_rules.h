// The crosspoints of a matrix editor and the rules that a press follows
// while the window works without the device. A crosspoint is "up" while its
// input is connected to its output; each crosspoint also has a copy (the
// value the window started from, which Cancel of a connected window sends
// back). Outputs o and inputs i count from 0; input k and output k form
// room k. No windows here: the editor and its grid widget use this.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/mixing/matrix_objects.h"

namespace objscope::audio {

enum class TMatrixKind { kRouter, kCombiner };

struct TCrosspointSettings {
    TMatrixKind kind = TMatrixKind::kCombiner;
    TCombiningMode mode = TCombiningMode::kSwitchRouter;
    bool selfRoute = false;
    bool forceOne = false;
};

class TCrosspoints {
  public:
    TCrosspoints(int outputs, int inputs);

    int Outputs() const { return outputs_; }
    int Inputs() const { return inputs_; }
    bool Inside(int o, int i) const { return o >= 0 && o < outputs_ && i >= 0 && i < inputs_; }

    bool Connected(int o, int i) const { return Inside(o, i) && up_[Cell(o, i)] != 0; }
    bool CopyConnected(int o, int i) const { return Inside(o, i) && copy_[Cell(o, i)] != 0; }
    // The button and its copy together (every offline rule does so).
    void Set(int o, int i, bool connected);
    // The button alone (a connected window shows the device's reply).
    void SetButton(int o, int i, bool connected);
    void SetCopy(int o, int i, bool connected);
    // Every button down (disconnected); the copies stay.
    void DisconnectAllButtons();
    // Every copy set (connected or not); the buttons stay.
    void SetAllCopies(bool connected);
    // Crosspoints whose button differs from its copy, in row order.
    struct Point {
        int o, i;
    };
    std::vector<Point> ChangedFromCopies() const;
    // The buttons as bytes in row order (1 = up), for painting.
    const std::vector<uint8_t>& Buttons() const { return up_; }

    // A router row's selection (input number from 1, 0 = none).
    int Selection(int o) const { return selection_.at(static_cast<size_t>(o)); }
    void SetSelection(int o, int k) { selection_.at(static_cast<size_t>(o)) = k; }

  private:
    size_t Cell(int o, int i) const { return static_cast<size_t>(o) * inputs_ + i; }

    int outputs_;
    int inputs_;
    std::vector<uint8_t> up_;
    std::vector<uint8_t> copy_;
    std::vector<int> selection_;
};

// The user pressed crosspoint (o, i): its button went up (`connected`) or
// down. Applies the rules of the matrix kind and mode, undoing the press
// where they say so.
void PressCrosspoint(TCrosspoints& points, const TCrosspointSettings& settings, int o, int i,
                     bool connected);
// Self-Route checked, or a combine mode chosen while it is: every diagonal
// crosspoint connected.
void ConnectDiagonal(TCrosspoints& points);
// "1-to-1": the diagonal connected, everything else not (a router row
// selects the input of its own number).
void ConnectOneToOne(TCrosspoints& points);
// "Force 1 Selection" checked: a router row without a selection selects
// input 1; a combiner output with inputs but no connection gets input 1.
void ForceOneSelection(TCrosspoints& points, TMatrixKind kind);

}  // namespace objscope::audio
