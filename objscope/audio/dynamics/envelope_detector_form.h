// TEnvelopeDetectorForm ("Env. Det. - " and the name): the attack, release
// and hold times with spin buttons and the meter of the detector's current
// level, which follows the device.
#pragma once

#include "audio/shared/bound_editor_form.h"
#include "audio/shared/time_field.h"

namespace objscope::audio {

class TEnvelopeDetectorForm : public TBoundEditorForm {
  public:
    TEnvelopeDetectorForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TTimeField* AttackField() const { return attack_; }
    TTimeField* ReleaseField() const { return release_; }
    TTimeField* HoldField() const { return hold_; }

  private:
    TTimeField* attack_ = nullptr;
    TTimeField* release_ = nullptr;
    TTimeField* hold_ = nullptr;
};

}  // namespace objscope::audio
