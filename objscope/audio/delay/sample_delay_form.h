// TSampleDelayForm ("SDelay - " and the name): the name of the delay and
// the slider of its number of samples (1 to 20).
#pragma once

#include "audio/shared/bound_editor_form.h"

namespace objscope::audio {

class TSampleDelayForm : public TBoundEditorForm {
  public:
    TSampleDelayForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TTarnSlider* SamplesSlider() const { return slider_; }

  private:
    TTarnSlider* slider_ = nullptr;
};

}  // namespace objscope::audio
