// TNoiseGateForm ("Noise Gate - " and the name): threshold, open and closed
// gain sliders, the attack, release and hold times with spin buttons, the
// side chain switch (shown only for a gate with two inputs) and the light of
// the gate's state. The settings are read when the form opens and sent when
// changed; only the light follows the device's changes.
#pragma once

#include "audio/shared/bound_editor_form.h"
#include "audio/shared/time_field.h"

namespace objscope::audio {

class TNoiseGateForm : public TBoundEditorForm {
  public:
    TNoiseGateForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TTimeField* AttackField() const { return attack_; }
    TTimeField* ReleaseField() const { return release_; }
    TTimeField* HoldField() const { return hold_; }

  private:
    QLayout* BuildTimes();
    TTimeField* TimeField(const QString& name, uint16_t id, TTimeSteps steps);

    TTimeField* attack_ = nullptr;
    TTimeField* release_ = nullptr;
    TTimeField* hold_ = nullptr;
};

}  // namespace objscope::audio
