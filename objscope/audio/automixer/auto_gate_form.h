// TfrmAutoGate, the automixer gate editor ("AutoMixer Gate - " and the
// gate's name): input type and gating mode as choice lists over hidden
// bound edits, priority and hold time with up-down buttons, and the gating
// light.
#pragma once

#include <QComboBox>
#include <QToolButton>
#include <memory>

#include "audio/automixer/choice_field.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_form_base.h"

namespace objscope::audio {

class TfrmAutoGate : public TTarnFormBase {
  public:
    TfrmAutoGate(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TfrmAutoGate() override;

    TChoiceField& InputType() const { return *inputType_; }
    TChoiceField& GatingMode() const { return *gatingMode_; }
    TTarnEditBox* Priority() const { return txtPriority_; }
    TTarnEditBox* HoldTime() const { return txtHoldTime_; }
    TTarnLite* GatingLight() const { return light_; }

  protected:
    void FormShown() override;

  private:
    TTarnEditBox* BoundEdit(const char* name, uint16_t id, uint8_t type);
    QWidget* UpDown(TTarnEditBox* edit, const char* name);
    void PlaceFormButtons(QWidget* body);

    std::unique_ptr<TChoiceField> inputType_;
    std::unique_ptr<TChoiceField> gatingMode_;
    TTarnEditBox* txtPriority_ = nullptr;
    TTarnEditBox* txtHoldTime_ = nullptr;
    TTarnLite* light_ = nullptr;
};

// Adds `step` to a bound edit's number (as the user's change) and shows it.
void StepBoundEdit(TTarnEditBox& edit, int step);

}  // namespace objscope::audio
