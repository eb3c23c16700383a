// TDelayTapComm: the binding objects of one tap of a delay line (one row of
// the delay grid): its delay and mute, and for an auto-calculating tap its
// calculation flag, target position and offset. All register for changes,
// so a change made elsewhere shows in the grid at once.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "binding/editor_form_binding.h"

namespace objscope::audio {

class TDelayTap;

enum class TapField { kDelay, kMute, kCalc, kTargetX, kTargetY, kTargetZ, kOffset };
inline constexpr size_t kTapFieldCount = 7;

class TDelayTapComm {
  public:
    // `objectIndex`: the tap's entry in the form's object list.
    TDelayTapComm(const TDelayTap& tap, int objectIndex, TTarnFormBinding& form);

    // A value arrived from the device (or from the object on attach).
    std::function<void(TapField)> OnChange;

    bool Has(TapField field) const { return At(field) != nullptr; }
    double Value(TapField field) const;
    // Sends a user's change (clamped by the property) while connected.
    void Set(TapField field, double value);
    // Steps per unit of the delay's type.
    double DelaySteps() const;
    TTarnGuiComW* Comm(TapField field) const { return At(field); }

  private:
    TTarnGuiComW* At(TapField field) const { return comms_[static_cast<size_t>(field)].get(); }

    std::array<std::unique_ptr<TTarnGuiComW>, kTapFieldCount> comms_;
};

}  // namespace objscope::audio
