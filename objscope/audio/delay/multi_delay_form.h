// TMultiDelayForm ("Delay Line"), the editor of a delay line: bypass, mute
// of every tap, the line's maximum delay, and the grid of its taps showing
// each delay as time and as the distance sound travels in it (feet or
// metres, at 21 °C). A line of auto-calculating taps adds the master switch
// of the calculation, the source position and the taps' targets.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <memory>
#include <vector>

#include "audio/delay/delay_grid_model.h"
#include "audio/shared/bound_editor_form.h"

namespace objscope::audio {

class TU32SignalDelayLine;

class TMultiDelayForm : public TBoundEditorForm {
  public:
    TMultiDelayForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TMultiDelayForm() override;
    QTableView* Grid() const { return grid_; }
    TDelayGridModel* Model() const { return model_; }
    int TapCount() const { return static_cast<int>(taps_.size()); }
    TDelayTapComm& TapComm(int i) const { return *taps_.at(static_cast<size_t>(i)); }

  protected:
    void FormShown() override;

  private:
    QLayout* BuildTopRow();
    QLayout* BuildSourceRow();
    void BuildGrid(const TU32SignalDelayLine& line);
    void MuteAllClicked(bool on);
    void ShowMuteAll();
    void ShowMaxDelay();

    std::vector<std::unique_ptr<TDelayTapComm>> taps_;
    TTarnGuiComW maxDelay_;
    QTableView* grid_ = nullptr;
    TDelayGridModel* model_ = nullptr;
    QPushButton* btnMute_ = nullptr;
    QLabel* lblMaxDelayValue_ = nullptr;
    QRadioButton* radFeet_ = nullptr;
    QRadioButton* radMetres_ = nullptr;
    bool autoCalc_ = false;
};

}  // namespace objscope::audio
