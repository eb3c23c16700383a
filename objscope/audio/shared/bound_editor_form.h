// The editor base of the forms built from bound controls alone (dynamics,
// gains, meters, sample delay): it binds each control to a property of the
// edited object (or of an owned object), asks the bypass question on OK when
// the form has a bypass button, and disables every control of a read-only
// form but Cancel and Help.
#pragma once

#include <QGridLayout>
#include <QLabel>

#include "audio/shared/peak_hold_list.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_form_base.h"
#include "windows/tarn_meter.h"
#include "windows/tarn_slider.h"

namespace objscope::audio {

// How a control is bound: the property's low 14 bits, the binding's type
// code (0 keeps the control's own), registration for change notifications
// and the entry of the form's object list (0 the edited object).
struct TBindingSpec {
    uint16_t id = 0;
    uint8_t type = 0;
    bool registered = false;
    uint16_t object = 0;
};

// Binds a communication object the form keeps for itself (not a control's)
// and adds it to the form's broadcasts.
void BindComm(TTarnGuiComW& tarn, const TBindingSpec& spec, TTarnFormBinding& form);

class TBoundEditorForm : public TTarnFormBase {
  public:
    TBoundEditorForm(TVEKroot& object, TEditorComm* comm, const QString& caption,
                     QWidget* parent = nullptr);
    ~TBoundEditorForm() override;

    template <class Control>
    Control* Bound(Control* control, const TBindingSpec& spec) {
        BindComm(control->Tarn(), spec, Binding());
        return control;
    }

  protected:
    // The button whose state OK asks about ("Keep ByPass in Effect?").
    void UseBypassQuestion(TTarnButton* bypass) { bypass_ = bypass; }
    bool OkConfirmed() override;
    void FormShown() override;

    // A caption label for a control (its buddy).
    QLabel* Caption(const QString& text, QWidget* buddy);
    // "btnBypass" (3072) and "btnMute" (2048) with their captions and hints.
    TTarnButton* BypassButton(const QString& caption, bool registered);
    TTarnButton* MuteButton(const QString& caption, const QString& hint, bool registered);
    // The top row of a processing module's editor on row 0 of `grid`:
    // "btnBypass" and "btnMute", and with `peakHold` the peak hold list at
    // the right end of `columns` columns (returned, else nothing).
    TPeakHoldList* AddModuleRow(QGridLayout* grid, bool registered, bool peakHold, int columns);
    // A dB slider with a text box: Data_Min, the step of its values.
    TTarnSlider* DbSlider(const QString& name, const TBindingSpec& spec, double dataMin,
                          double step);
    // A bar meter from `dataMin`, and a level meter: one with colour zones
    // from -15 and -5 dB.
    TTarnMeter2* Meter(const QString& name, const TBindingSpec& spec, double dataMin);
    TTarnMeter2* LevelMeter(const QString& name, const TBindingSpec& spec, double dataMin);

  private:
    TTarnButton* bypass_ = nullptr;
};

// The start of the second and third colour zones of the level meters.
inline constexpr double kLevelZone2 = -15;
inline constexpr double kLevelZone3 = -5;

}  // namespace objscope::audio
