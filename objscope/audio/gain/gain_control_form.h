// TGainControlForm ("Gain - " and the name), the editor of the plain,
// integrating and zero-crossing gain controls: the name, the level slider,
// the mute and polarity buttons; the integrating and zero-crossing variants
// add the meter of their current gain (the slider moves to the left edge),
// the integrating one its time constant in place of the polarity button.
#pragma once

#include "audio/shared/bound_editor_form.h"
#include "windows/tarn_edit_box.h"

namespace objscope::audio {

class TGainControlForm : public TBoundEditorForm {
  public:
    TGainControlForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TTarnSlider* LevelSlider() const { return slider_; }

  protected:
    void FormShown() override;

  private:
    TTarnSlider* slider_ = nullptr;
};

}  // namespace objscope::audio
