// TProgGainControlForm ("Prog Gain Ctrl - " and the name), the editor of the
// programmable gain control: its three levels (stop adjusting, limit to the
// desired level, the desired output level) and the meters of the level
// coming in, the gain applied and the level going out, with a peak hold
// list for the two level meters. Every binding registers for changes.
#pragma once

#include "audio/shared/bound_editor_form.h"
#include "audio/shared/peak_hold_list.h"

namespace objscope::audio {

class TProgGainControlForm : public TBoundEditorForm {
  public:
    TProgGainControlForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TPeakHoldList* PeakHoldList() const { return peakHold_; }

  private:
    TPeakHoldList* peakHold_ = nullptr;
};

}  // namespace objscope::audio
