// TfrmAutoMix, the automatic mixer editor ("Automatic Mixer - " and the
// object's name): the filibuster limit, the last-mic-on choice and the
// onput channel at the top; the inputs on pages of 8 strips (gating light,
// mic/line, gate mode, priority, hold time, the inline processing with its
// chooser, the input level meter); the outputs with their NOM switches and
// mixers; the gating lights follow the automixer's "InputActiveStates". A
// page's strips are built the first time it is shown.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <memory>
#include <string>
#include <vector>

#include "audio/automixer/automixer_objects.h"
#include "audio/automixer/choice_field.h"
#include "audio/paging/strip_pages.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_meter.h"

namespace objscope::audio {

inline constexpr int kAutoMixStripsPerPage = 8;

// The controls of input n's strip.
struct TAutoMixStrip {
    TTarnLite* gated = nullptr;
    QCheckBox* mic = nullptr;
    TTarnEditBox* inputType = nullptr;  // hidden
    std::unique_ptr<TChoiceField> mode;
    TTarnEditBox* priority = nullptr;
    TTarnEditBox* holdTime = nullptr;
    QPushButton* processing = nullptr;
    QPushButton* select = nullptr;
    TTarnMeter2* level = nullptr;
    QLabel* processingName = nullptr;
};

struct TAutoMixOutput {
    TTarnLabel* name = nullptr;
    QCheckBox* nom = nullptr;
    TTarnEditBox* nomSlope = nullptr;  // hidden
    QPushButton* edit = nullptr;
};

class TfrmAutoMix : public TTarnFormBase {
  public:
    TfrmAutoMix(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TfrmAutoMix() override;

    QTabWidget* InputPages() const { return pages_; }
    const TStripPages& Pages() const { return *strips_; }
    // Input n's strip (1-based); its pointers stay null until its page was built.
    const TAutoMixStrip& Strip(int n) const { return inputStrips_.at(static_cast<size_t>(n - 1)); }
    const TAutoMixOutput& OutputRow(int m) const { return outputs_.at(static_cast<size_t>(m - 1)); }
    TChoiceField& LastMicOn() const { return *lastMicOn_; }
    TChoiceField& OnputChannel() const { return *onputChannel_; }
    // Whether input n's gating light is lit.
    bool GatingLit(int n) const { return lit_.at(static_cast<size_t>(n - 1)); }
    // Chooses input n's processing kind as the menu does.
    void ChooseProcessing(int n, TProcessingKind kind);
    // The number of lights and meters repainted since the window opened.
    int LightRepaints() const { return lightRepaints_; }

  protected:
    void FormShown() override;

  private:
    QHBoxLayout* BuildTop(QWidget* body);
    QWidget* BuildInputs(QWidget* body);
    QWidget* BuildOutputs(QWidget* body);
    QWidget* BuildStatusPanels(QWidget* body);
    void BuildStrips(QWidget* page, int first, int last);
    void BuildStrip(QWidget* page, int n);
    void BindControl(QWidget* control, TTarnGuiComW& tarn, int object, uint16_t id, uint8_t type,
                     bool registered);
    void GatingArrived();
    void ShowLight(int n);
    void ShowProcessing(int n);
    void ShowProcessingMenu(int n);
    void MicClicked(int n, bool checked);
    void NomClicked(int m, bool checked);
    // A hidden bound edit that reads and sends while `standIn` (its list or
    // check box) is not hidden.
    TTarnEditBox* HiddenEdit(QWidget* parent, const QString& name, const QWidget& standIn);

    TU32AutoMixer& mixer_;
    QTabWidget* pages_ = nullptr;
    std::unique_ptr<TStripPages> strips_;
    std::vector<TAutoMixStrip> inputStrips_;
    std::vector<TAutoMixOutput> outputs_;
    std::vector<bool> lit_;
    std::unique_ptr<TChoiceField> lastMicOn_;
    std::unique_ptr<TChoiceField> onputChannel_;
    TTarnLabel* lblGating_ = nullptr;
    int lightRepaints_ = 0;
    bool shown_ = false;
};

}  // namespace objscope::audio
