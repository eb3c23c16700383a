// TOutputGain: the binding objects of one output gain stage (entry 2 of an
// output's band set): its gain (4096, type 131), mute (2048) and polarity
// (4097, type 13). Each registers for changes, so a value changed by another
// client reaches the editor at once.
#pragma once

#include <array>
#include <functional>

#include "binding/editor_form_binding.h"

namespace objscope::audio {

enum class OutputField { kGain, kMute, kPolarity };

class TOutputGain {
  public:
    TOutputGain(int objectIndex, TTarnFormBinding& form);

    // A value arrived from the device (or from the object on attach).
    std::function<void(OutputField, double)> OnChange;

    TTarnGuiComW& Comm(OutputField field) { return comms_[static_cast<size_t>(field)]; }
    // Sends a user's change while the window is connected.
    void Set(OutputField field, double value);
    double Value(OutputField field) const;

  private:
    std::array<TTarnGuiComW, 3> comms_;
};

}  // namespace objscope::audio
