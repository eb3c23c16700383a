// TLimiterForm ("Limiter - " and the name) and TCompressorForm ("Compressor
// - "), which adds the compression ratio: threshold and overall level
// sliders, the input, current-gain and output meters with their peak hold
// list, the soft knee, and the attack and release times with spin buttons.
// Every binding registers for changes, so the editor follows the device.
#pragma once

#include "audio/shared/bound_editor_form.h"
#include "audio/shared/peak_hold_list.h"
#include "audio/shared/time_field.h"
#include "windows/tarn_combo_box.h"

namespace objscope::audio {

class TLimiterForm : public TBoundEditorForm {
  public:
    TLimiterForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TTimeField* AttackField() const { return attack_; }
    TTimeField* ReleaseField() const { return release_; }
    TPeakHoldList* PeakHoldList() const { return peakHold_; }

  protected:
    TLimiterForm(TVEKroot& object, TEditorComm* comm, const QString& caption, bool withRatio,
                 QWidget* parent);

  private:
    void BuildControls(bool withRatio);
    QLayout* BuildMiddleColumn(bool withRatio);
    TTimeField* TimeField(const QString& name, uint16_t id);

    TTimeField* attack_ = nullptr;
    TTimeField* release_ = nullptr;
    TPeakHoldList* peakHold_ = nullptr;
};

class TCompressorForm : public TLimiterForm {
  public:
    TCompressorForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
};

// "1 : 1", "1.5 : 1", "2.0 : 1" ... "16.0 : 1".
QStringList CompressionRatioItems();

}  // namespace objscope::audio
