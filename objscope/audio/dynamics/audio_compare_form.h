// TAudioCompareForm ("Audio Comparator - " and the name): the offset level
// and sign, the hold time with spin buttons and the light of the comparison
// result, which follows the device.
#pragma once

#include "audio/shared/bound_editor_form.h"
#include "audio/shared/time_field.h"

namespace objscope::audio {

class TAudioCompareForm : public TBoundEditorForm {
  public:
    TAudioCompareForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TTimeField* HoldField() const { return hold_; }

  private:
    TTimeField* hold_ = nullptr;
};

}  // namespace objscope::audio
