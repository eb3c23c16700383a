// TPeqComm: the binding objects of one parametric band. It owns one
// TTarnGuiComW per band property (gain, polarity, frequency, Q, type, class,
// order), all on one entry of the editor's object list (band i of a set is
// entry i + 3), and hands the editor each value that arrives.
#pragma once

#include <array>
#include <deque>
#include <functional>

#include "binding/editor_form_binding.h"

namespace objscope::audio {

enum class BandField { kGain, kPhase, kFreq, kQ, kType, kKind, kOrder };

class TPeqComm {
  public:
    TPeqComm(int objectIndex, TTarnFormBinding& form);

    // A value arrived from the device (or from the object on attach).
    std::function<void(TPeqComm&, BandField, double)> OnChange;

    TTarnGuiComW& Comm(BandField field) { return comms_[static_cast<size_t>(field)]; }
    // Sends a user's change (the frequency in Hz; sent as its decade value).
    void Set(BandField field, double value);
    double Value(BandField field) const;

  private:
    void Arrived(BandField field);

    std::array<TTarnGuiComW, 7> comms_;
    // Per field, the values sent and not yet seen coming back, oldest first,
    // as the wire holds them. The device reports each of them in turn; a
    // report of an older one while newer ones are on their way is stale and
    // would undo the user's latest change, so it is dropped.
    std::array<std::deque<double>, 7> pending_;
};

class TFilterBand;

// Binds one communication object of an editor's object-list entry to a
// property, registered for changes so that values changed elsewhere (another
// client, the device) show at once; `arrived` runs on each value.
void BindRegisteredComm(TTarnGuiComW& comm, int objectIndex, uint16_t propertyId, uint8_t type,
                        std::function<void()> arrived, TTarnFormBinding& form);

// Applies a value received for a band field to a filter band with the
// receiving rules (gain limited to -48..12 dB, frequency 0 and Q 0 ignored,
// order above 8 made 8, class outside 0..4 made 0) and recalculates it.
// False when the value was ignored.
bool ApplyReceivedValue(TFilterBand& band, BandField field, double value);

// Decade value of a frequency and back, as the centre frequency type keeps
// them: f limited to 0.1 .. 357700 Hz, back rounded to 0.1 Hz.
double FrequencyToDecades(double hertz);
double DecadesToFrequency(double decades);

}  // namespace objscope::audio
