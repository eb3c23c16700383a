// TMixerForm, the editor of mixers and signal selectors and of their
// internal variants ("Mixer - " and the object's name). The inputs sit in
// pages of 8 strips (tabs "1-8", "9-16", ...): a mixer strip has polarity,
// mute, level and name, a selector strip a select button instead of
// polarity and mute. The output group edits the output stage; a selector
// adds "Force One Selection" and the hidden selection control.
#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <vector>

#include "audio/mixing/mixer_objects.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_form_base.h"
#include "windows/tarn_slider.h"

namespace objscope::audio {

// The tab text of the page holding inputs first..last ("1-8", or "9").
QString MixerPageTitle(int first, int last);
// The page control's width: 44 per input plus 20 below 8 inputs, else 372.
int MixerPagesWidth(int inputs);

class TMixerForm : public TTarnFormBase {
  public:
    TMixerForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TMixerForm() override;

    bool IsSelector() const { return selector_ != nullptr; }
    QTabWidget* Pages() const { return pages_; }
    // The select button of input k (from 1; selectors only).
    QPushButton* SelectButton(int k) const;

  protected:
    void done(int result) override;

  private:
    struct Strip {
        TTarnButton* polarity = nullptr;
        TTarnButton* mute = nullptr;
        QPushButton* select = nullptr;
        TTarnSlider* level = nullptr;
        TTarnLabel* name = nullptr;
    };

    void BuildPages();
    QWidget* BuildStrip(int k, QWidget* page);
    QWidget* BuildOutputGroup();
    void BuildSelectorControls(QLayout* layout);
    void BindTo(TTarnGuiComW& tarn, const TVEKroot* object, uint16_t propertyId);
    void SelectClicked(int k);
    void ShowSelection();

    TMixerBase& mixer_;
    TU32SignalSelector* selector_ = nullptr;
    QTabWidget* pages_ = nullptr;
    std::vector<Strip> strips_;
    TTarnButton* btnSelected_ = nullptr;
    TTarnCheckBox* chkForceOne_ = nullptr;
};

}  // namespace objscope::audio
